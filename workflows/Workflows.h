// The three apply workflows of the main window. Each checks its
// preconditions (a failing one shows its message and changes nothing), then
// works through the ticked options in order, one status line per step, and
// ends by unticking its list and marking the status window complete.
//
// Errors raised by a step (the load, a file that cannot be created, a registry
// value of the wrong type) are not caught: they end the workflow where they
// happen, with the lines so far kept, the options still ticked and the status
// window not marked complete, and reach the application's error report.
//
// The messenger folder is read once at the start, so a run works on one
// folder even if the field is edited while the advert apply serves the event
// loop.
#pragma once

#include "workflows/WorkflowHost.h"

namespace quorvex {

class TQuorvex;
class TmxStorage;

// The advert options (nine rows): the messenger image patches, the IM status
// bar skin, the HTML replacement file and the messenger's registry settings.
void ApplyAdvertOptions(TQuorvex& engine, TmxStorage& storage, IWorkflowHost& host);

// The UI options (nine rows): the contact-list skin rewritten from the stored
// template, and the contact card removed.
void ApplySkinOptions(TmxStorage& storage, IWorkflowHost& host);

// The clean options (three rows): the backup and the stock message-window skin
// put back, the HTML replacement file deleted, the stock contact-list and
// contact-card skins put back.
void CleanAndRestore(TQuorvex& engine, TmxStorage& storage, IWorkflowHost& host);

}  // namespace quorvex
