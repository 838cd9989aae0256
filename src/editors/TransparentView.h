#pragma once

#include <QString>
#include <QtGlobal>

struct TransparentModule;

// What frmTransparent's choices show for a working copy: which data type
// option is selected, the description, and which settings the type lets the
// operator change. The dialog applies it to its controls after every change.
struct TransparentView
{
    // One of the two buffering sections (byte mode, packet mode).
    struct Mode
    {
        bool select = false; // its mode option selected
        bool frame = false;  // its frame, labels and flush frames enabled
        bool fields = false; // its boxes and flush choices enabled
        bool option = false; // its mode option enabled

        bool operator==(const Mode &) const = default;
    };

    // DataType code of the selected type option (0 for "Custom"), -1 for none.
    int typeOption = -1;
    QString description;
    // The packet priority options and the timeout list.
    bool priority = false;
    Mode byteMode;
    Mode packet;
    // High capacity picks several lines with B_Lines; every other type one
    // line in the line list.
    bool severalLines = false;
    // B_Lines: the lines, shortened to fit.
    QString linesCaption;
    // B_Configure: shown for the serial ports and the modem port.
    bool configure = false;

    static TransparentView Of(const TransparentModule &module);
    // The lines of a mask as "1, 2, 3"; longer than 20 characters it is cut at
    // the first comma from position 15 on, or else after 17 characters, and
    // ends with "...".
    static QString LinesCaption(qint32 mask);
};
