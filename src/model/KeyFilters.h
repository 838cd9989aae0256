#pragma once

// Key filters of the numeric boxes. Each takes the character code of a typed
// key and returns the code to let through; 0 swallows the key.

// Backspace, "0".."9" and "A".."F" pass; "a".."f" become capitals.
int HexKeyFilter(int key);
// Backspace and "0".."9" pass.
int DecimalKeyFilter(int key);
