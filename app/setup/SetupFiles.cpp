// The setup file buttons: dialogs, messages and the name of the file in use.
#include "SetupFiles.h"

#include <QDir>
#include <QFileInfo>
#include <QLineEdit>
#include <QTime>

#include "SetupStore.h"
#include "core/UserDialogs.h"

namespace tavrin::app {
namespace {

constexpr const char* kMessageTitle = "Tavrin";
constexpr const char* kLoadTitle = "Load Setup file";
constexpr const char* kSaveTitle = "Save Setup  file";
// The toolkit's notation of "Configuration file (*.cfg)|*.cfg"; its pattern also gives the
// save dialog its default extension.
constexpr const char* kFilter = "Configuration file (*.cfg)";
constexpr std::string_view kExtension = "cfg";

}  // namespace

SetupFiles::SetupFiles(UserDialogs& dialogs, QWidget* dialogParent, SetupFilesContext context)
    : m_dialogs(dialogs), m_parent(dialogParent), m_context(std::move(context)) {}

QString SetupFiles::defaultPath() const {
    return m_context.defaultPath.isEmpty() ? QDir::current().filePath(kDefaultSetupName)
                                           : m_context.defaultPath;
}

SetupBinding SetupFiles::binding() const {
    return SetupBinding(m_context.roots ? m_context.roots() : std::vector<QObject*>{});
}

void SetupFiles::showCurrent(const QString& name) {
    const SetupBinding b = binding();
    for (const char* field : {"ConfigFilePPEdit", "ConfigFileFPEdit"}) {
        if (auto* edit = qobject_cast<QLineEdit*>(b.control(field))) edit->setText(name);
    }
}

void SetupFiles::checkLimits() {
    if (m_context.checkLimits) m_context.checkLimits();
}

void SetupFiles::report(const QString& text, const QString& path, const QString& reason) {
    m_dialogs.message(m_parent, MessageKind::Error, kMessageTitle,
                      text.arg(QDir::toNativeSeparators(path), reason), {MessageButton::Ok});
}

bool SetupFiles::load(const QString& path) {
    // The whole file is read and checked before any control changes, so a file that cannot
    // be used leaves the pages as they were.
    SetupStore store;
    QString reason;
    if (!store.read(path, false, &reason)) {
        report(QString("The setup file \"%1\" cannot be loaded.\n%2\nNothing has been changed."),
               path, reason);
        return false;
    }
    const std::vector<UnreadableValue> unreadable = binding().load(&store, m_context.hooks);
    // A hand-edited or damaged value is not worth a message box on every start, but it must
    // not pass unseen either: the trace names it, stamped as the library's lines are.
    if (m_context.trace) {
        const std::string file = QDir::toNativeSeparators(path).toStdString();
        for (const UnreadableValue& u : unreadable) {
            const QString stamp = QTime::currentTime().toString("'Time: 'hh:mm:ss.zzz': '");
            m_context.trace(stamp.toStdString() +
                            UnreadableValueLine(file, *u.key, u.found, u.used));
        }
    }
    showCurrent(QFileInfo(path).fileName());
    return true;
}

void SetupFiles::loadFactory() {
    binding().load(nullptr, m_context.hooks);
    showCurrent(kFactorySetupName);
}

bool SetupFiles::save(const QString& path) {
    // What the file holds is read first so that sections and keys of other programs survive.
    // A file that exists but cannot be read would lose them: that save is refused.
    SetupStore store;
    QString reason;
    bool saved = store.read(path, true, &reason);
    if (saved) {
        binding().writeTo(store);
        store.beforeReplace = beforeReplace;
        saved = store.write(path, &reason);
    }
    if (!saved) {
        report(QString("The setup file \"%1\" could not be saved.\n%2\nA file of that name that "
                       "was there before is unchanged."),
               path, reason);
        return false;
    }
    showCurrent(QFileInfo(path).fileName());
    return true;
}

void SetupFiles::LoadButtonClick() {
    const QString path = m_dialogs.openFileName(m_parent, kLoadTitle, QString(), kFilter);
    if (!path.isEmpty()) load(path);
    checkLimits();
}

void SetupFiles::SaveButtonClick() {
    const QString chosen = m_dialogs.saveFileName(m_parent, kSaveTitle, QString(), kFilter);
    if (chosen.isEmpty()) return;
    save(QString::fromStdString(WithDefaultExtension(chosen.toStdString(), kExtension)));
}

void SetupFiles::SaveAsDefaultButtonClick() {
    save(defaultPath());
}

void SetupFiles::LoadDefaultButtonClick() {
    const QString path = defaultPath();
    if (QFileInfo::exists(path))
        load(path);
    else
        loadFactory();
    checkLimits();
}

void SetupFiles::FactoryFPButtonClick() {
    loadFactory();
    checkLimits();
}

}  // namespace tavrin::app
