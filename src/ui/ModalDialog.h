#pragma once
// The program's own modal dialogs (frmReplace, FrmPath, frmMsgbox) are run through execModal so that
// tests can drive the real dialog instead of a nested event loop: a hook receives the dialog, fills and
// clicks its controls, and returns its result.

#include <functional>

class QDialog;

namespace varnel::ui {

using ModalHook = std::function<int(QDialog& dialog)>;

// Shows the dialog modally and returns its result (QDialog::Accepted or Rejected), or the hook's.
int execModal(QDialog& dialog);

// Queues a hook for the next dialog; hooks are taken first in, first out. With test mode on and none
// queued, a dialog is rejected without being shown. Switching test mode forgets queued hooks.
void queueModalHook(ModalHook hook);
void setModalTestMode(bool on);

} // namespace varnel::ui
