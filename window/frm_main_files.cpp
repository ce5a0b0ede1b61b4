// The menus: settings files, reloading from the board, About; and what goes with
// them (files dropped on the window, the boxes' tooltips, Enter on the button).
#include "frm_main.h"
#include "setting_texts.h"

#include "app_info.h"
#include "display_text.h"
#include "board_identity.h"
#include "input_report.h"
#include "number_text.h"
#include "session_files.h"
#include "session_worker.h"
#include "settings_conversion.h"
#include "settings_file.h"
#include "wide_text.h"

#include <QAction>
#include <QDate>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QMimeData>
#include <QPushButton>
#include <QSaveFile>
#include <QSettings>
#include <QUrl>

#include <string>
#include <variant>

using namespace kx;

namespace {

// The dialogs are the window's: their texts are translated with the window's.
QString WindowText(const char* text)
{
    return QCoreApplication::translate("frmMain", text);
}

QString DialogTitle()
{
    return WindowText(QT_TRANSLATE_NOOP("frmMain", "Wheel configuration"));
}

QString FileFilter()
{
    return WindowText(QT_TRANSLATE_NOOP("frmMain", "Wheel settings (*.kx5170);;All files (*)"));
}

QString CountsPerTurnText(std::optional<int> countsPerTurn)
{
    return countsPerTurn ? QString::number(*countsPerTurn) : WindowText(QT_TRANSLATE_NOOP("frmMain", "an unknown number of"));
}

// One decimal in ASCII digits, the separator the locale's: "219.7".
QString AngleText(double degrees)
{
    return QString::number(degrees, 'f', 1).replace(QLatin1Char('.'), QLocale().decimalPoint());
}

// The local file a drag brings, if it brings exactly one.
QString DroppedFile(const QMimeData* data)
{
    if (!data || !data->hasUrls() || data->urls().size() != 1 || !data->urls().front().isLocalFile())
        return {};
    return data->urls().front().toLocalFile();
}

}  // namespace

WindowDialogs DesktopDialogs()
{
    WindowDialogs dialogs;
    dialogs.OpenFileName = [](QWidget* parent, const QString& directory) {
        return QFileDialog::getOpenFileName(parent, WindowText(QT_TRANSLATE_NOOP("frmMain", "Open settings")), directory, FileFilter());
    };
    dialogs.SaveFileName = [](QWidget* parent, const QString& suggested) {
        QFileDialog dialog(parent, WindowText(QT_TRANSLATE_NOOP("frmMain", "Save settings as")), suggested, FileFilter());
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setDefaultSuffix(QStringLiteral("kx5170"));
        return dialog.exec() == QDialog::Accepted ? dialog.selectedFiles().value(0) : QString();
    };
    // Every text these show is plain: a file's name or contents may hold markup.
    dialogs.Confirm = [](QWidget* parent, const QString& question) {
        QMessageBox box(QMessageBox::Question, DialogTitle(), question, QMessageBox::Yes | QMessageBox::No, parent);
        box.setTextFormat(Qt::PlainText);
        return box.exec() == QMessageBox::Yes;
    };
    dialogs.Choose = [](QWidget* parent, const QString& question, const QStringList& answers) {
        QMessageBox box(QMessageBox::Question, DialogTitle(), question, QMessageBox::NoButton, parent);
        box.setTextFormat(Qt::PlainText);
        QList<QAbstractButton*> buttons;
        for (const QString& answer : answers)
            buttons << box.addButton(answer, buttons.isEmpty() ? QMessageBox::AcceptRole : QMessageBox::ActionRole);
        box.setDefaultButton(qobject_cast<QPushButton*>(buttons.value(0)));
        box.exec();
        return static_cast<int>(buttons.indexOf(box.clickedButton()));
    };
    dialogs.Warn = [](QWidget* parent, const QString& message) {
        QMessageBox box(QMessageBox::Warning, DialogTitle(), message, QMessageBox::Ok, parent);
        box.setTextFormat(Qt::PlainText);
        box.exec();
    };
    return dialogs;
}

void frmMain::BuildMenus()
{
    QMenu* file = MenuBar->addMenu(tr("&File"));
    auto add = [this](QMenu* menu, const char* name, const QString& text, const QKeySequence& keys, auto handler) {
        QAction* action = menu->addAction(text, this, handler);
        action->setObjectName(QLatin1String(name));
        action->setShortcut(keys);
        return action;
    };
    actOpen = add(file, "actOpen", tr("Open settings..."), QKeySequence(Qt::CTRL | Qt::Key_O),
                  &frmMain::OpenSettings);
    RecentMenu = file->addMenu(tr("Open &recent"));
    RecentMenu->setObjectName(QStringLiteral("RecentMenu"));
    connect(RecentMenu, &QMenu::aboutToShow, this, &frmMain::FillRecentMenu);
    actSave = add(file, "actSave", tr("Save settings as..."), QKeySequence(Qt::CTRL | Qt::Key_S),
                  &frmMain::SaveSettings);
    actReload = add(file, "actReload", tr("Reload from board"), QKeySequence(Qt::Key_F5),
                    &frmMain::ReloadFromBoard);
    file->addSeparator();
    actWriteKeepOpen = add(file, "actWriteKeepOpen", tr("Write and keep open"),
                           QKeySequence(Qt::CTRL | Qt::Key_Return), &frmMain::WriteKeepOpen_Click);
    actRestore = add(file, "actRestore", tr("Restore the board's own settings"), QKeySequence(),
                     &frmMain::RestoreLeftover);
    actRestore->setVisible(false);
    file->addSeparator();
    actQuit = add(file, "actQuit", tr("Quit"), QKeySequence(Qt::CTRL | Qt::Key_Q), &QWidget::close);
    actQuit->setMenuRole(QAction::QuitRole);
    QMenu* help = MenuBar->addMenu(tr("&Help"));
    actAbout = add(help, "actAbout", tr("About"), QKeySequence(), &frmMain::ShowAbout);
    actAbout->setMenuRole(QAction::AboutRole);
    // Until a board is loaded there is nothing to fill, save or reload.
    for (QAction* action : {actOpen, actSave, actReload, actWriteKeepOpen})
        action->setEnabled(false);
}

void frmMain::OpenSettings()
{
    // With no board it opens a profile; a board whose settings could not be read has
    // no boxes to open into.
    if (BoardLoaded && !SettingsShown)
        return;
    const QString path = Dialogs.OpenFileName(this, LastDirectory);
    if (!path.isEmpty())
        OpenSettingsFile(path);
}

void frmMain::OpenWhenLoaded(const QString& path)
{
    if (BoardLoaded && SettingsShown) {
        OpenSettingsFile(path);
        return;
    }
    // Checked now, so that a file that cannot be used is said at once, not when the
    // board is plugged in.
    std::optional<SettingsFile> file = ReadSettingsFile(path);
    if (!file)
        return;
    PendingPath = path;
    PendingFile = std::move(file);
    RenderStatus();
}

std::optional<SettingsFile> frmMain::ReadSettingsFile(const QString& path)
{
    const QFileInfo info(path);
    LastDirectory = info.absolutePath();
    const QString name = ShownText(info.fileName());
    const auto bytes = ReadSettingsFileBytes(path);
    if (const auto* error = std::get_if<QString>(&bytes)) {
        Dialogs.Warn(this, tr("Could not read %1: %2").arg(name, *error));
        return std::nullopt;
    }
    auto parsed = ParseSettingsFile(std::get<std::string>(bytes));
    if (const auto* error = std::get_if<SettingsFileError>(&parsed)) {
        Dialogs.Warn(this, DescribeSettingsFileErrorText(info.fileName(), *error) +
                               tr("\n\nThe boxes were not changed."));
        return std::nullopt;
    }
    return std::get<SettingsFile>(std::move(parsed));
}

bool frmMain::OpenSettingsFile(const QString& path)
{
    if (BoardLoaded && !SettingsShown)
        return false;
    const std::optional<SettingsFile> file = ReadSettingsFile(path);
    return file && PutFileInBoxes(*file, path);
}

bool frmMain::KeepOrDiscardEdits(const QString& what)
{
    if (!Edited || SavedSinceEdit)
        return true;
    const int answer = Dialogs.Choose(this,
                                      //: %1 is "quitting" or "opening %1", translated on their own
                                      tr("The values in the boxes have not been written or saved. "
                                                     "Save them before %1?")
                                          .arg(what),
                                      {tr("Save"), tr("Discard"), tr("Cancel")});
    if (answer == 1)
        return true;
    if (answer != 0 || !CheckedBoxes(false))
        return false;
    const QString path =
        Dialogs.SaveFileName(this, QDir(LastDirectory).filePath(QStringLiteral("wheel") + SettingsFileSuffix));
    return !path.isEmpty() && SaveSettingsFile(path);
}

std::optional<int> frmMain::AskProfileType(const SettingsFile& file, const QString& name)
{
    if (file.BoardType)
        return file.BoardType;
    // Its stops and centre offset are counts, whose angle depends on the board's type.
    QStringList answers;
    for (int type = 1; type <= 3; ++type)
        answers << tr("Type %1 (%2 steps a turn)").arg(type).arg(*CountsPerTurn(type));
    answers << tr("Cancel");
    const int answer = Dialogs.Choose(this,
                                      tr("No board is plugged in. Which type of board is %1 for? "
                                                     "Its stops and centre offset are counted in that board's steps.")
                                          .arg(name),
                                      answers);
    if (answer < 0 || answer > 2)
        return std::nullopt;
    return answer + 1;
}

bool frmMain::ConvertForThisBoard(SettingsFile& settings, const QString& name)
{
    if (!SettingsFileCountsDiffer(settings, DeviceType))
        return true;
    const auto converted = ConvertSettingsFile(settings, DeviceType);
    const auto* reason = std::get_if<SettingsFileError>(&converted);
    const QString question =
        tr("%1 was saved from a board that counts %2 steps a turn; this board counts %3. "
                       "Its centre offset and stops would mean other angles here.\n\n%4")
            .arg(name, CountsPerTurnText(CountsPerTurn(settings.BoardType)), CountsPerTurnText(CountsPerTurn(DeviceType)),
                 reason ? tr("They cannot be converted: %1. Open it as it is?")
                              .arg(SettingsReasonText(*reason))
                        : tr("Convert them to this board's counts, so that they keep their angles?"));
    if (reason)
        return Dialogs.Confirm(this, question);
    const int answer = Dialogs.Choose(
        this, question, {tr("Convert"), tr("Open as it is"), tr("Cancel")});
    if (answer == 0)
        settings = std::get<SettingsFile>(converted);
    return answer == 0 || answer == 1;
}

bool frmMain::PutFileInBoxes(const SettingsFile& file, const QString& path)
{
    const QFileInfo info(path);
    const QString name = ShownText(info.fileName());
    if (!KeepOrDiscardEdits(
            //: completes "Save them before %1?"; %1 is a file's name
            tr("opening %1").arg(name)))
        return false;
    SettingsFile settings = file;
    if (!BoardLoaded) {
        // A profile made without the board: for the type the file names, or the user.
        const std::optional<int> type = AskProfileType(file, name);
        if (!type)
            return false;
        settings.BoardType = type;
        ProfileType = type;
    } else if (!ConvertForThisBoard(settings, name)) {
        return false;
    }
    if (settings.RotationTenths) {
        auto resolved = ResolveRotation(settings, CountsPerTurn(BoxesType()));
        if (const auto* reason = std::get_if<SettingsFileError>(&resolved)) {
            Dialogs.Warn(this, tr("%1: %2\n\nThe boxes were not changed.").arg(name, SettingsReasonText(*reason)));
            return false;
        }
        settings = std::get<SettingsFile>(std::move(resolved));
    }

    for (std::size_t i = 0; i < SettingsCount; ++i)
        if (settings.Values[i])
            Boxes[i]->setText(QString::number(*settings.Values[i]));
    Edited = true;
    SavedSinceEdit = false;
    // Opened onto the board loaded: the values are the user's for this board.
    BoxesToken = BoardToken;
    RememberFile(path);
    if (!BoardLoaded) {
        ProfileOpen = true;
        SettingsShown = true;
        ShowBoxesType();
        SetSettingsControlsEnabled(true);
        ShowStatus(tr("%1 is open for a type-%2 board. Save keeps your changes; writing needs the board "
                                  "plugged in.")
                       .arg(name)
                       .arg(*ProfileType),
                   StatusLine::Keep::UntilWritten);
        return true;
    }
    ShowStatus(tr("Opened: press \"Write and reset\" to send."), StatusLine::Keep::UntilWritten);
    lblStatus->setToolTip(tr("%1 is in the boxes; nothing has been sent to the board yet.")
                              .arg(ShownText(QDir::toNativeSeparators(info.absoluteFilePath()))));
    return true;
}

void frmMain::SaveSettings()
{
    if (!SettingsShown || !(BoardLoaded || ProfileOpen))
        return;
    // A bad box is refused before any name is asked for; nothing is corrected in the
    // boxes for a save the user may still cancel.
    if (!CheckedBoxes(false))
        return;
    const QString suggested = QDir(LastDirectory).filePath(QStringLiteral("wheel") + SettingsFileSuffix);
    const QString path = Dialogs.SaveFileName(this, suggested);
    if (!path.isEmpty())
        SaveSettingsFile(path);
}

bool frmMain::SaveSettingsFile(const QString& path)
{
    if (!Details && !ProfileOpen)
        return false;
    // What is saved is what "Write and reset" would send, the boxes left as typed.
    const std::optional<WheelSettings> settings = CheckedBoxes(false);
    if (!settings)
        return false;
    const QFileInfo info(path);
    LastDirectory = info.absolutePath();
    SettingsFileOrigin origin;
    if (Details)
        origin = SavedFileOrigin(*Details);
    else
        origin.BoardType = ProfileType;
    const std::string text = FormatSettingsFile(*settings, origin);

    // Written beside the old file and renamed over it: a failed save leaves the old file.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(text.data(), static_cast<qint64>(text.size())) !=
                                                static_cast<qint64>(text.size()) ||
        !file.commit()) {
        Dialogs.Warn(this, tr("Could not save %1: %2")
                               .arg(ShownText(info.fileName()),
                                    file.errorString()));
        return false;
    }
    const QFontMetrics metrics(lblStatus->font());
    const QString shown = metrics.elidedText(ShownText(info.fileName()),
                                             Qt::ElideMiddle,
                                             lblStatus->width() - metrics.horizontalAdvance(tr("Saved to %1.").arg(QString())));
    SavedSinceEdit = true;
    ShowStatus(tr("Saved to %1.").arg(shown), StatusLine::Keep::UntilEdited);
    lblStatus->setToolTip(ShownText(QDir::toNativeSeparators(info.absoluteFilePath())));
    RememberFile(path);
    return true;
}

namespace {

const QString RecentKey = QStringLiteral("recentFiles");
constexpr int RecentFiles = 8;

}  // namespace

void frmMain::RememberFile(const QString& path)
{
    QSettings settings;
    QStringList recent = settings.value(RecentKey).toStringList();
    const QString absolute = QFileInfo(path).absoluteFilePath();
    recent.removeAll(absolute);
    recent.prepend(absolute);
    settings.setValue(RecentKey, recent.mid(0, RecentFiles));
}

void frmMain::FillRecentMenu()
{
    RecentMenu->clear();
    const QStringList recent = QSettings().value(RecentKey).toStringList();
    for (int i = 0; i < recent.size(); ++i) {
        const QString path = recent[i];
        // "&1 rally.kx5170": a digit to choose it by, the name as plain text (an "&" in it is no shortcut).
        QString name = ShownText(QFileInfo(path).fileName());
        name.replace(QLatin1Char('&'), QStringLiteral("&&"));
        QAction* action = RecentMenu->addAction(QStringLiteral("&%1 %2").arg(i + 1).arg(name));
        action->setToolTip(ShownText(QDir::toNativeSeparators(path)));
        action->setEnabled(BoardLoaded && SettingsShown && Work == Busy::Idle);
        connect(action, &QAction::triggered, this, [this, path] {
            if (QFileInfo::exists(path)) {
                OpenSettingsFile(path);
                return;
            }
            QSettings settings;
            QStringList kept = settings.value(RecentKey).toStringList();
            kept.removeAll(path);
            settings.setValue(RecentKey, kept);
            Dialogs.Warn(this, tr("%1 is no longer there; it is taken off the list.")
                                   .arg(ShownText(QDir::toNativeSeparators(path))));
        });
    }
    if (recent.isEmpty())
        RecentMenu->addAction(tr("No files yet"))->setEnabled(false);
}

void frmMain::ReloadFromBoard()
{
    if (!BoardLoaded || Work != Busy::Idle)
        return;
    // Also while a failed read holds them out of sight: they are still the user's.
    if (Edited &&
        !Dialogs.Confirm(this, tr("Replace the values in the boxes with the board's? Your values have not been written.")))
        return;
    Edited = false;
    HeldTexts.clear();
    Status.EndMessages();
    PendingReload = ++LastRequest;
    QMetaObject::invokeMethod(Worker.get(), [w = Worker.get(), id = *PendingReload] { w->Reload(id); }, SessionTraffic);
}

void frmMain::RestoreLeftover()
{
    if (!Details || Details->Leftover.empty() || Work != Busy::Idle || PendingRestore)
        return;
    if (!Dialogs.Confirm(this, tr("Write back the settings the board had before kx5170ctl run put a file "
                                              "on it? The board resets and comes back with them.")))
        return;
    PendingRestore = ++LastRequest;
    SetBusy(Busy::Writing);
    QMetaObject::invokeMethod(
        Worker.get(), [w = Worker.get(), id = *PendingRestore] { w->RestoreLeftover(id); }, SessionTraffic);
}

void frmMain::OnRestoreAnswered(quint64 id, const QString& failure)
{
    if (PendingRestore != id)
        return;
    PendingRestore.reset();
    SetBusy(Busy::Idle);
    ShowStatus(failure.isEmpty() ? tr("The board's own settings are back.")
                                 : tr("The board's own settings were not put back: %1.").arg(ShownText(failure)),
               failure.isEmpty() ? StatusLine::Keep::UntilEdited : StatusLine::Keep::UntilWritten);
}

void frmMain::OnReloadAnswered(quint64 id, bool refused)
{
    if (PendingReload != id)
        return;
    PendingReload.reset();
    if (refused)
        ShowStatus(tr("Not read: the board went away before it could be read."));
}

QString frmMain::AboutText() const
{
    QString text = tr("%1\nVersion %2\n\n%3.\n\nLicence: %4\nQt %5")
                       .arg(ApplicationText(ApplicationDisplayName), QString::fromLatin1(ApplicationVersion),
                            ApplicationText(ApplicationDescription), QString::fromLatin1(ApplicationLicence),
                            QString::fromLatin1(qVersion()));
    if (!AboutPlatform.isEmpty())
        text += QStringLiteral(", ") + AboutPlatform;
    return text;
}

void frmMain::ShowAbout()
{
    if (auto* shown = findChild<QMessageBox*>(QStringLiteral("AboutBox"))) {
        shown->raise();
        shown->activateWindow();
        return;
    }
    // Not modal: the position keeps updating behind it.
    auto* box = new QMessageBox(QMessageBox::NoIcon,
                                tr("About %1").arg(ApplicationText(ApplicationDisplayName)),
                                AboutText(), QMessageBox::Ok, this);
    box->setObjectName(QStringLiteral("AboutBox"));
    box->setIconPixmap(windowIcon().pixmap(32, 32));
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setWindowModality(Qt::NonModal);
    box->show();
}

void frmMain::UpdateAngleTips()
{
    const std::optional<int> perTurn = CountsPerTurn(DeviceType);
    for (std::size_t i = 0; i < SettingsCount; ++i) {
        const SettingsField& field = SettingsFields[i];
        const QString unit = QString::fromUtf8(field.Unit);
        QString tip = SettingMeaning(field) + QLatin1Char('\n');
        const QString shownUnit = SettingUnit(field);
        tip += unit == QLatin1String("%") ? tr("Percent, ")
               : unit.isEmpty()           ? QString()
                                          : shownUnit.left(1).toUpper() + shownUnit.mid(1) + QStringLiteral(", ");
        tip += tr("%1 to %2").arg(field.Lowest).arg(field.Highest);
        tip += field.Clamped ? tr("; a value outside is brought into range.")
                             : tr("; a value outside is refused.");
        // In counts, the angle depends on the board's counts a turn.
        if (unit == QLatin1String("counts") && perTurn) {
            const std::optional<std::int32_t> value = BoxNumberValue(Boxes[i]->text(), QLocale());
            tip += value ? tr("\nOn this board %1 counts = %2 degrees.")
                               .arg(*value)
                               .arg(AngleText(360.0 * *value / *perTurn))
                         : tr("\nOn this board one turn is %1 counts.").arg(*perTurn);
        }
        Boxes[i]->setToolTip(tip);
        Boxes[i]->setAccessibleDescription(tip);
    }
}

void frmMain::dragEnterEvent(QDragEnterEvent* event)
{
    if (!DroppedFile(event->mimeData()).isEmpty())
        event->acceptProposedAction();
}

void frmMain::dropEvent(QDropEvent* event)
{
    const QString path = DroppedFile(event->mimeData());
    if (path.isEmpty())
        return;
    event->acceptProposedAction();
    OpenWhenLoaded(path);
}

bool frmMain::eventFilter(QObject* watched, QEvent* event)
{
    auto* button = watched == Go ? Go : watched == WriteKeepOpen ? WriteKeepOpen : nullptr;
    if (button && event->type() == QEvent::KeyPress && button->isEnabled()) {
        const auto* key = static_cast<QKeyEvent*>(event);
        const Qt::KeyboardModifiers modifiers = key->modifiers() & ~Qt::KeypadModifier;
        if ((key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) && modifiers == Qt::NoModifier &&
            !key->isAutoRepeat()) {
            button->click();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}
