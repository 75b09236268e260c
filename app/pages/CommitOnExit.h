// The entry-field convention: a field commits when it loses the focus to another control of
// its window and when Enter is pressed in it; the Enter key itself is swallowed.
#pragma once

#include <functional>

class QObject;
class QWidget;

namespace tavrin::app {

// Runs `commit` on focus-out and on Enter/Return. Switching to another window or opening a
// menu does not count as leaving the field, and a commit that shows a message box does not
// commit again while the box holds the focus.
void CommitOnExit(QWidget* field, std::function<void()> commit);

// Removes the commits below `root`: a window being destroyed takes the focus from its fields,
// and that must not commit into half-destroyed pages.
void DisarmCommitOnExit(QObject* root);

}  // namespace tavrin::app
