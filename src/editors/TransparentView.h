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

    // The option each setting shows, or the state of its check box; -1 for a
    // stored value none of them stands for, which shows none chosen (a check
    // box neither checked nor clear) and is written back unchanged until the
    // operator chooses.
    int directionOption = -1; // 0 RB_Encode ("E"), 1 RB_Decode ("D")
    int channelOption = -1;   // 0 RB_Luma ("L"), 1 RB_Chroma ("C")
    int priorityOption = -1;  // Option1 .. Option3: priority 0 .. 2
    int flushOption = -1;     // RB_Off, RB_1Field, RB_2Fields: timed flush 0 .. 2
    int fieldIndicator = -1;  // CB_FieldIndicator: 0 clear, 1 checked
    int vancFields = -1;      // CB_Field1, CB_Field2: the VANC flush 0 .. 3, a bit each

    static TransparentView Of(const TransparentModule &module);
    // The lines of a mask as "1, 2, 3"; longer than 20 characters it is cut at
    // the first comma from position 15 on, or else after 17 characters, and
    // ends with "...".
    static QString LinesCaption(qint32 mask);
};
