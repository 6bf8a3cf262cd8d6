#include <QDir>
#include <algorithm>

#include "core/module1.h"

using namespace Qt::Literals::StringLiterals;

namespace velnor {

namespace {

// Record folders beside the program, sorted so that "the first folder" is the same on
// every start. Plain files named "%..." cannot hold records and are left out.
QStringList recordFolderNames(const QString& programFolder) {
  QStringList names;
  const QStringList entries =
      QDir(programFolder).entryList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden);
  for (const QString& e : entries)
    if (e.startsWith(u'%')) names << e;
  std::sort(names.begin(), names.end());
  return names;
}

void fillChooser(ChooserPort& chooser, const QStringList& folders) {
  chooser.clearFolders();
  for (int i = 0; i < folders.size(); ++i) chooser.setItem(i + 1, folders[i].mid(1));
}

}  // namespace

void Module1::CheckDuplicateName() {
  DuplicateCount = 0;
  if (!inputScreen) return;
  const QString name = inputScreen->nameBoxText();
  for (int i = 0; i < inputScreen->nameCount(); ++i)
    if (inputScreen->nameAt(i) == name) ++DuplicateCount;
  if (DuplicateCount >= 2) {
    if (shell)
      shell->message(u"無効です…"_s, u"同じ名前がすでにあります。変更してください…"_s, Buttons::Ok);
    inputScreen->selectName(CurrentIndex);
    inputScreen->focusNameBox();
  }
}

void Module1::ListRecordFolders() {
  PathBuffer = programFolder_ + u'/';
  const QStringList folders = recordFolderNames(programFolder_);
  if (inputScreen && InputScreenOpen) fillChooser(inputScreen->folderChooser(), folders);
  if (!FileExists(programPath(CurrentFolder) + u'/') ||
      (!folders.isEmpty() && !CurrentFolder.startsWith(u'%'))) {
    if (mainWindow && mainWindow->folderChooser().count() > 1)
      CurrentFolder = u'%' + mainWindow->folderChooser().item(1);
    else if (!folders.isEmpty())
      CurrentFolder = folders.first();
  }
  if (inputScreen && InputScreenOpen) inputScreen->folderChooser().setVisible(true);
}

// Re-entrant: a chooser's choice and the input screen's load both come back here
// before an outer call has finished, and the outer call goes on with the folder, the
// choosers and the person the inner one left.
void Module1::ChangeRecordFolder() {
  DuplicateCount = 0;
  const bool inputOpen = InputScreenOpen && inputScreen;
  if (PersonModified && inputOpen && !storePendingEdit()) return;
  if (EditsEnabled) takeChosenFolder(inputOpen);
  if (CurrentFolder.mid(1) == kNewFolderItem && !makeNewFolder()) return;
  if (!refillChoosers()) return;
  openFolder();
}

// A pending edit is stored first; a duplicate name or a failed store keeps the folder.
bool Module1::storePendingEdit() {
  inputScreen->changeTest();
  if (!PersonModified) return true;
  CheckDuplicateName();
  const bool stored = DuplicateCount < 2 && inputScreen->saveStep();
  if (!stored) {
    if (mainWindow) mainWindow->folderChooser().select(FolderItemIndex);
    inputScreen->folderChooser().select(FolderItemIndex);
    return false;
  }
  EditsEnabled = true;
  PersonModified = false;
  DuplicateCount = 0;
  return true;
}

// The folder the user chose: the input screen's chooser while it is open, else the main
// window's. The folder in use before "新規作成" is kept to come back to.
void Module1::takeChosenFolder(bool inputOpen) {
  ChooserPort* chooser = inputOpen ? &inputScreen->folderChooser()
                                   : (mainWindow ? &mainWindow->folderChooser() : nullptr);
  if (!chooser) return;
  const QString chosen = u'%' + chooser->text();
  if (chosen.mid(1) == kNewFolderItem && CurrentFolder.mid(1) != kNewFolderItem)
    folderBeforeNew_ = CurrentFolder;
  CurrentFolder = chosen;
}

// "新規作成": the welcome dialog makes the folder, over the input screen. False when this
// call goes no further (the input screen's load takes over, or the program ended).
bool Module1::makeNewFolder() {
  if (!InputScreenOpen || !inputScreen) {
    // The input screen's load comes back here with the screen open.
    InputScreenOpen = true;
    if (shell) shell->showInputScreen();
    return false;
  }
  ListRecordFolders();
  const QString before = folderBeforeNew_.isEmpty() ? CurrentFolder : folderBeforeNew_;
  CurrentFolder = before;
  folderBeforeNew_.clear();
  FolderCreated = true;
  if (shell) shell->showWelcomeDialog();
  FolderCreated = false;
  // Created or not, the listing that follows shows the folder now in use; a dialog
  // closed without creating anything leaves the previous folder selected.
  return !ProgramEnded;
}

// Lists the record folders into both choosers, repairing a remembered folder that is
// gone, and runs the first start when there is none. False when this call goes no
// further (the input screen's load takes over, or the program ended).
bool Module1::refillChoosers() {
  for (;;) {
    if (listIntoChoosers()) return true;
    // First run: no record folder at all.
    FolderCreated = false;
    if (shell) shell->showWelcomeDialog();
    if (ProgramEnded || !shell) return false;
    if (!InputScreenOpen || !inputScreen) {
      InputScreenOpen = true;
      shell->showInputScreen();
      return false;
    }
    // The input screen is already open: list again and show the new folder in it.
  }
}

// One listing into the choosers; false when there is no record folder.
bool Module1::listIntoChoosers() {
  if (mainWindow) mainWindow->folderChooser().setVisible(false);
  if (InputScreenOpen && inputScreen) inputScreen->folderChooser().setVisible(false);

  PathBuffer = programFolder_ + u'/';
  const QStringList folders = recordFolderNames(programFolder_);
  if (mainWindow) fillChooser(mainWindow->folderChooser(), folders);
  if (InputScreenOpen && inputScreen) fillChooser(inputScreen->folderChooser(), folders);
  const int found = int(folders.indexOf(CurrentFolder));
  if (found >= 0) FolderItemIndex = qint16(found + 1);

  if (!folders.isEmpty() &&
      (!CurrentFolder.startsWith(u'%') || !FileExists(programPath(CurrentFolder) + u'/'))) {
    CurrentFolder = folders.first();
    FolderItemIndex = 1;
    if (mainWindow) mainWindow->folderChooser().select(1);
  }
  return !folders.isEmpty();
}

// Shows CurrentFolder in the choosers, its people in the list and, with the input
// screen open, its names and the selected person there.
void Module1::openFolder() {
  const QString display = CurrentFolder.mid(1);
  if (mainWindow) {
    mainWindow->folderChooser().setText(display);
    mainWindow->folderChooser().setVisible(true);
  }
  if (InputScreenOpen && inputScreen) {
    inputScreen->folderChooser().setText(display);
    inputScreen->folderChooser().setVisible(true);
  }

  IndexFilePath = indexPathFor(CurrentFolder);
  // Undo reaches only changes of the folder in use.
  if (history_.folder() != recordFolderPath()) history_.clear();
  if (mainWindow) mainWindow->clearList();
  if (InputScreenOpen && inputScreen) inputScreen->clearNames();
  // A file that cannot be read is left as it is: the list stays empty and nothing can
  // be edited until a read succeeds.
  if (!CountPeople()) {
    if (InputScreenOpen && inputScreen) inputScreen->showNobody();
    return;
  }
  if (PersonCount == 0) {
    if (!WritePlaceholderIndex()) return;
    PersonCount = 1;
  }
  // Missing note files are made once, when the folder opens, not at every redraw.
  (void)EnsureNoteFiles();  // a failure has been reported; the records are still shown
  if (CurrentIndex >= PersonCount) CurrentIndex = qint16(PersonCount - 1);
  if (CurrentIndex < 0) CurrentIndex = 0;
  if (mainWindow) mainWindow->drawList();
  PlaceCursor();
  if (InputScreenOpen && inputScreen) showFolderInInputScreen();
}

void Module1::showFolderInInputScreen() {
  inputScreen->clearNames();
  if (!ListNames()) return;
  PersonName = inputScreen->nameAt(inputScreen->selectedName());
  if (inputScreen->nameCount() == 0) {
    inputScreen->pressAdd();
    return;
  }
  if (CurrentIndex >= PersonCount) CurrentIndex = qint16(PersonCount - 1);
  inputScreen->selectName(CurrentIndex);
  PersonModified = false;
  inputScreen->pressLoadSelected();
}

}  // namespace velnor
