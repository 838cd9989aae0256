#pragma once

#include "AppServices.h"
#include "ApplyPlan.h"
#include "ConfigDocument.h"
#include "clsKYR.h"

#include <QObject>
#include <QStringList>

#include <optional>

class Workbench;
class frmKYR7Set;

// "Send to KYR7...": a configuration file's settings taken over a unit's and
// saved to it by the rules of kyr7ctl's apply (ApplyPlan): the unit keeps its
// identity, detected video and network settings, and what the file does not
// give stays as the unit has it.
//
// The file is set aside while the unit is reached and retrieved (the monitor
// shows it); the window then shows what the unit will hold, and one message
// says what the save will do. Nothing is written before the operator chooses
// "Send", which saves as "Save and Exit" does (report file, save
// conversation, "Done"). Until then every way back (a unit that does not
// answer, a refused version, "Back to File") gives the file back as it was,
// unsaved edits included.
class SendToUnit : public QObject
{
    Q_OBJECT
public:
    enum class Stage {
        Idle,       // the file is shown, or no file
        Retrieving, // reaching and retrieving the unit (or failed doing so)
        Refused,    // the version check refused the unit
        Ready,      // the window shows what the unit will hold
        Saving,     // the save conversation runs (or failed)
        Saved       // the save ran through: "Done"
    };

    SendToUnit(frmKYR7Set &window, Workbench &bench, const AppServices &services);

    Stage stage() const { return now; }
    bool active() const { return now != Stage::Idle; }
    // Until the save has run through, "Back to File" is the way out.
    bool wayBack() const { return active() && now != Stage::Saved; }

    // Asks for the link and, unless cancelled, sets the file aside and
    // starts the retrieval.
    void start();
    // The retrieval is in and parsed; suits says whether the version check
    // let it through.
    void retrieved(bool suits);
    // The one message before anything is written; "Send" starts the save.
    void confirm();
    // Back to the file: the link closed, the file shown as it was.
    void back();
    // The save conversation has run through.
    void saved();

    // The file set aside, and what the window showed of it.
    ConfigDocument &file() { return aside; }
    const clsKYR &fileModel() const { return asideModel; }
    // The file's settings not sent (for the review).
    QStringList notSent() const;
    // What the review counts from.
    QString against() const;
    QString title() const;

private:
    QString unitName() const;

    frmKYR7Set &window;
    Workbench &bench;
    AppServices services;
    Stage now = Stage::Idle;
    ConfigDocument aside;
    clsKYR asideModel;
    clsKYR unit; // as retrieved
    std::optional<ApplyPlan> plan;
};
