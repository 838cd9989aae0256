#pragma once

class clsKYR;

// The configurations the simulator starts from.
class SimDefaults
{
public:
    // Every defined row of every section at its definition default.
    static void ApplyDefinitionDefaults(clsKYR &kyr);
    // A working encoder: the definition defaults plus video formats, a
    // caption, a transparent and a constant data module on program 1, and
    // LAN ports 2000 to 2007.
    static void ApplyDemoConfiguration(clsKYR &kyr);
    // The rows a factory reset keeps: the identity (ID .. BridgingStreams),
    // the TCP/IP settings (IpNum .. DHCP) and the detected video formats.
    static void ResetToFactory(clsKYR &kyr);
};
