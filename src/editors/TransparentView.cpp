#include "TransparentView.h"

#include "TransparentModule.h"
#include "clsKYR.h"

namespace {

// The position of a stored number among count options; -1 for none.
int optionOf(const WorkingNumber &number, int count)
{
    return number.exact() && number.value() >= 0 && number.value() < count ? number.value() : -1;
}

// The position of a stored text among the options' texts; -1 for none.
int optionOf(const QString &text, const QString &first, const QString &second)
{
    return text == first ? 0 : text == second ? 1 : -1;
}

} // namespace

TransparentView TransparentView::Of(const TransparentModule &module)
{
    using T = TransparentModule;
    // A preset's section: selected, with nothing in it to change.
    const Mode fixed{true, true, false, false};
    const Mode off{};

    TransparentView view;
    const T::Type type = module.type();
    view.typeOption = type == T::CustomPackets ? int(T::CustomBytes) : int(type);
    switch (type) {
    case T::Bytes:
        view.description = QStringLiteral("Byte Mode is used to send any sort of generic data as soon as it arrives");
        view.byteMode = fixed;
        break;
    case T::HighCapacity:
        view.description =
            QStringLiteral("Used for sending generic data at high speeds requiring the use of multiple lines");
        view.byteMode = fixed;
        break;
    case T::AudioMetadata:
        view.description = QStringLiteral("Used for sending Audio Metadata. Data must be in audio metadata frames");
        view.byteMode = fixed;
        break;
    case T::CaptionCdp:
        view.description = QStringLiteral("Used for sending Caption Distribution Packets. Data must be formatted "
                                          "according to SMPTE 334M-2");
        view.priority = true;
        view.packet = fixed;
        break;
    case T::SubtitleSdp:
        view.description = QStringLiteral(
            "Used for sending Subtitling Distribution Packets. Data must be formatted according to OP-47");
        view.priority = true;
        view.packet = fixed;
        break;
    case T::CustomBytes:
    case T::CustomPackets:
        view.description = QStringLiteral("Custom encoding allows you to change settings fixed in the other modes");
        view.priority = true;
        view.byteMode = module.byteMode ? Mode{true, true, true, true} : Mode{false, false, false, true};
        view.packet = module.byteMode ? Mode{false, false, false, true} : Mode{true, true, true, true};
        break;
    case T::Unknown:
        // A stored type none of the options stands for: its settings show as
        // stored and stay so until the operator picks a type.
        view.byteMode.select = module.byteMode;
        view.packet.select = !module.byteMode;
        break;
    }
    if (!module.encode()) {
        view.description =
            type == T::HighCapacity
                ? QStringLiteral("Used to capture data of the specified DID/SDID from multiple selected video lines")
                : QStringLiteral("Used to capture data of the specified DID/SDID from the selected video line");
        view.byteMode = fixed;
        view.packet = off;
    }
    view.severalLines = type == T::HighCapacity;
    if (view.severalLines) {
        view.priority = false;
        view.linesCaption = LinesCaption(module.lines);
    }
    view.configure = module.chosen >= StreamSlot::PORTA && module.chosen <= StreamSlot::MODEM;
    view.directionOption = optionOf(module.direction, QStringLiteral("E"), QStringLiteral("D"));
    view.channelOption = optionOf(module.channel, QStringLiteral("L"), QStringLiteral("C"));
    view.priorityOption = optionOf(module.priority, 3);
    view.flushOption = optionOf(module.timedFlush, 3);
    view.fieldIndicator = optionOf(module.fieldIndicator, 2);
    view.vancFields = optionOf(module.vancFlush, 4);
    return view;
}

QString TransparentView::LinesCaption(qint32 mask)
{
    const QString lines = clsKYR::LineNumbers(mask);
    if (lines.size() <= 20)
        return lines;
    const qsizetype comma = lines.indexOf(u',', 14);
    return (comma >= 0 ? lines.left(comma) : lines.left(17)) + QStringLiteral("...");
}
