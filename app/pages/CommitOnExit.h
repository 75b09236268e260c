// The entry-field convention: a field commits when it loses the focus to another control of
// its window and when Enter is pressed in it; the Enter key itself is swallowed.
#pragma once

#include <functional>

class QLineEdit;
class QObject;
class QWidget;

namespace tavrin::app {

// Runs `commit` on focus-out and on Enter/Return. Switching to another window or opening a
// menu does not count as leaving the field, and a commit that shows a message box does not
// commit again while the box holds the focus.
void CommitOnExit(QWidget* field, std::function<void()> commit);

// Limits what the user can type into `edit` to `maxLength` characters. Text set by the program
// (a setup file's value, say) is kept whole, so a stored traffic slot 11 or a coupling loss
// of 100.5 reaches the field's check instead of being cut to "1" or "100.".
void LimitTypedLength(QLineEdit* edit, int maxLength);
// The limit given to LimitTypedLength.
int TypedLengthLimit(const QLineEdit* edit);

// Removes the commits below `root`: a window being destroyed takes the focus from its fields,
// and that must not commit into half-destroyed pages.
void DisarmCommitOnExit(QObject* root);

}  // namespace tavrin::app
