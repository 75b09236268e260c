// The Setup group's actions on both setup pages: "&Load", "Load &Default", "&Save",
// "Sa&ve as Default" and "Factory Settings", and the "Currently Using :" name.
#pragma once

#include <QString>
#include <functional>
#include <string>
#include <vector>

#include "SetupBinding.h"

class QObject;
class QWidget;

namespace tavrin::app {

class UserDialogs;

inline constexpr const char* kDefaultSetupName = "Default.cfg";
inline constexpr const char* kFactorySetupName = "Factory";

struct SetupFilesContext {
    // The objects whose children carry the table's controls (the main window, the link window).
    std::function<std::vector<QObject*>()> roots;
    SetupLoadHooks hooks;
    // Re-checks all limit rows; runs after every load, also after a cancelled one.
    std::function<void()> checkLimits;
    // Where "Default.cfg" lives; empty: the working directory.
    QString defaultPath;
    // The program's trace log: one line for each value of a loaded file that cannot be used.
    std::function<void(const std::string& line)> trace;
};

class SetupFiles {
public:
    SetupFiles(UserDialogs& dialogs, QWidget* dialogParent, SetupFilesContext context);

    void LoadButtonClick();
    void SaveButtonClick();
    void SaveAsDefaultButtonClick();
    void LoadDefaultButtonClick();
    // Both "Factory Settings" buttons run this.
    void FactoryFPButtonClick();

    // Loads a file into the pages and shows its name. A file that cannot be read changes
    // nothing and is reported in a message box naming it; false then. A value in it that
    // cannot be used takes its factory value and is named in the trace.
    bool load(const QString& path);
    void loadFactory();
    // Saves the pages into the file, keeping what the file holds besides; a failed save is
    // reported in a message box naming the file and the reason and leaves the old file.
    bool save(const QString& path);

    QString defaultPath() const;
    void setDefaultPath(const QString& path) { m_context.defaultPath = path; }
    SetupBinding binding() const;

    // Runs inside a save after the new text is on disk and before it replaces the old file.
    std::function<void()> beforeReplace;

private:
    void showCurrent(const QString& name);
    void checkLimits();
    // An error box: `text` with the file's name for %1 and the reason for %2.
    void report(const QString& text, const QString& path, const QString& reason);

    UserDialogs& m_dialogs;
    QWidget* m_parent;
    SetupFilesContext m_context;
};

}  // namespace tavrin::app
