#include "DisplayForm.h"

#include <QAction>
#include <QApplication>
#include <QMenuBar>
#include <QShowEvent>

#include "AlertSteps.h"
#include "AlertsCommand.h"
#include "CompareCommand.h"
#include "EncodingMenu.h"
#include "ErrorDisplay.h"
#include "FileDrops.h"
#include "FindCommands.h"
#include "FindInLogsCommand.h"
#include "FindInRunsCommand.h"
#include "FollowCommand.h"
#include "HelpMenu.h"
#include "HighlightCommand.h"
#include "HighlightRulesHolder.h"
#include "LogDocument.h"
#include "MRUList.h"
#include "OpenDialog.h"
#include "OptionalColumns.h"
#include "RunsView.h"
#include "SaveRunCommand.h"
#include "SplitterPanel.h"
#include "StatusLine.h"
#include "TextPane.h"
#include "WindowPlacement.h"

#ifdef Q_OS_WIN
#include <windows.h>

#include "ViewerWindowMark.h"
#endif

const QString AppTitle = QStringLiteral("Message Log Display");

namespace {

constexpr QSize kInitialSize(735, 480);
constexpr QPoint kInitialPosition(242, 113);
constexpr int kUpperBandPercent = 68;
constexpr int kLeftPanePercent = 50;
const QString kRecentFilesSection = QStringLiteral("FormDisplay.MRUList");

// "[*]" in a window title is Qt's placeholder for the modified mark; doubled, it shows as is.
QString TitleText(const QString& caption) {
  return QString(caption).replace(QStringLiteral("[*]"), QStringLiteral("[*][*]"));
}

}  // namespace

TFormDisplay::TFormDisplay(QWidget* owner) : TForm(owner), document_(new LogDocument(this)) {
  CreateComponents();
  StartupFileName.clear();
  setWindowTitle(TitleText(AppTitle));
}

TFormDisplay::TFormDisplay(QWidget* owner, int /*dummy*/)
    : TForm(owner), document_(new LogDocument(this)) {}

TFormDisplay::~TFormDisplay() {
  // The panes and the table still exist here, and must let go of the store before it is freed.
  ClearLogData();
#ifdef Q_OS_WIN
  // Windows wants a window's properties removed by whoever set them, before the window goes.
  if (const WId window = internalWinId()) {
    RemovePropW(reinterpret_cast<HWND>(window), kViewerWindowProperty);
  }
#endif
}

void TFormDisplay::CreateComponents() {
  setObjectName(QStringLiteral("FormDisplay"));
  resize(kInitialSize);
  move(kInitialPosition);
  SplitterPanel1 = new TSplitterPanel(this);
  setCentralWidget(SplitterPanel1);
  CreateMenu();
  OpenDialogLog = new TOpenDialog(this);
  OpenDialogLog->DefaultExt = QStringLiteral("log");
  OpenDialogLog->Filter = QStringLiteral("Vantrel Log File (*.log)|*.log");
  CreatePanes();
  MRUList1 = new TMRUList(this);
  MRUList1->SetMenuItem(OpenMenuItem);
  MRUList1->SetSection(kRecentFilesSection);
  connect(MRUList1, &TMRUList::Click, this,
          ShowingErrors([this](QObject* sender, const QString& fileName, int unused) {
            MRUList1Click(sender, fileName, unused);
          }));
  ConnectDocument();
  CreateAdditions();
}

// First of all that listens to the document, so that the table has taken in what changed before
// the additions hear of it.
void TFormDisplay::ConnectDocument() {
  connect(document_, &LogDocument::Cleared, this, &TFormDisplay::LogCleared);
  connect(document_, &LogDocument::RowsLoaded, this, &TFormDisplay::ShowLoadedRows);
  connect(document_, &LogDocument::LoadFinished, this, [this](qint64 milliseconds) {
    FinishLoad();
    emit LogLoaded(milliseconds);
  });
  connect(document_, &LogDocument::LoadFailed, this, [this](const QString& message) {
    // As an error of a load that reads the file whole would show; nothing is rolled back.
    FillRunsViewWithLoadedRows();
    const LoadEnd end = std::exchange(loadEnd_, LoadEnd());
    statusLine_->clearMessage();
    if (end.failureInStatusLine) {
      statusLine_->showMessage(message);
    } else {
      ShowException(message);
    }
  });
  connect(document_, &LogDocument::RowsChanged, this,
          [this](qint64 milliseconds, int firstChangedRow) {
            FillRunsView(firstChangedRow);
            emit LogAppended(milliseconds, firstChangedRow);
          });
  connect(document_, &LogDocument::EncodingChanged, this, &TFormDisplay::ShowEncoding);
}

// A table of a million rows lays itself out anew whenever it gains rows, so while a load runs
// it takes them in a few times a second, and at once only the first rows, those of the run the
// panes show, and a last row that has folded into the one before (the table reads the store's
// rows).
void TFormDisplay::ShowLoadedRows(int firstChangedRow, qint64 bytesTaken, qint64 bytesTotal) {
  constexpr qint64 kTableMilliseconds = 250;
  loadedRowsPending_ =
      loadedRowsPending_ < 0 ? firstChangedRow : std::min(loadedRowsPending_, firstChangedRow);
  const int selected = RunsView->SelectedIndex();
  const bool selectedChanged = selected >= loadedRowsPending_;
  const auto storeRows = static_cast<int>(LogData().RowToRun.size());
  if (RunsView->RowCount() == 0 || storeRows < RunsView->RowCount() || selectedChanged ||
      loadedRowsShown_.elapsed() >= kTableMilliseconds) {
    FillRunsViewWithLoadedRows();
  }
  if (loadEnd_.selectFirstRow && RunsView->RowCount() > 0) {
    loadEnd_.selectFirstRow = false;
    RunsView->SetSelectedIndex(0);
  } else if (selectedChanged && RunsView->SelectedIndex() == selected) {
    ShowRunGrown(selected);
  }
  statusLine_->ShowLoading(LogData(), bytesTaken, bytesTotal);
}

void TFormDisplay::FillRunsViewWithLoadedRows() {
  if (loadedRowsPending_ < 0) return;
  const int firstChangedRow = std::exchange(loadedRowsPending_, -1);
  FillRunsView(firstChangedRow);
  loadedRowsShown_.start();
  emit LoadedRowsShown(firstChangedRow);
}

void TFormDisplay::FinishLoad() {
  FillRunsViewWithLoadedRows();
  const LoadEnd end = std::exchange(loadEnd_, LoadEnd());
  const int rows = RunsView->RowCount();
  if (end.reselectRow >= 0 && end.reselectRow < rows && RunsView->SelectedIndex() < 0) {
    RunsView->SetSelectedIndex(end.reselectRow);
  }
  if (!end.caption.isEmpty()) {
    setWindowTitle(TitleText(AppTitle + QStringLiteral(" - \"") + end.caption + QLatin1Char('"')));
  }
  if (!end.recentFile.isEmpty()) MRUList1->Add(end.recentFile);
  if (end.requestedRow > 0) {
    TMessage request;
    request.Msg = kSelectRunMessage;
    request.WParam = end.requestedRow;
    Dispatch(request);
  }
}

void TFormDisplay::ShowRunGrown(int row) {
  document_->ExtendRun(shownRun_, row, [this, row](bool extended) {
    const Encoding encoding = document_->Store().TextEncoding;
    if (extended && LogMemo->ExtendLines(shownRun_.Log(), encoding) &&
        ScriptMemo->ExtendLines(shownRun_.Script(), encoding)) {
      emit RunShown(row);
    } else {
      // The row shows another run now: one that folded into it.
      RunsViewSelectItem(RunsView, row, true);
    }
  });
}

void TFormDisplay::ShowEncoding() {
  RunsView->Items()->RefreshTexts();
  LogMemo->SetEncoding(LogData().TextEncoding);
  ScriptMemo->SetEncoding(LogData().TextEncoding);
}

const LogStore& TFormDisplay::LogData() const {
  return document_->Store();
}

void TFormDisplay::CreateAdditions() {
  statusLine_ = new TStatusLine(this);
  setStatusBar(statusLine_);
  connect(this, &TFormDisplay::LogCleared, statusLine_, &TStatusLine::ClearFigures);
  connect(document_, &LogDocument::Indexing, statusLine_, &TStatusLine::ShowIndexing);
  connect(this, &TFormDisplay::LogLoaded, statusLine_,
          [this](qint64 milliseconds) { statusLine_->ShowStore(LogData(), milliseconds); });

  connect(this, &TFormDisplay::LogAppended, statusLine_,
          [this](qint64 milliseconds) { statusLine_->ShowStore(LogData(), milliseconds); });
  connect(document_, &LogDocument::FileAnswering, statusLine_,
          [this](bool answering) { statusLine_->ShowAnswering(answering, document_->FileName()); });
  connect(document_, &LogDocument::RunNotRead, statusLine_,
          [this](const QString& message) { statusLine_->showMessage(message); });
  followCommand_ = new FollowCommand(*this, *statusLine_);
  connect(this, &TFormDisplay::CurrentFileChanged, followCommand_, &FollowCommand::Watch);
  encodingMenu_ = new EncodingMenu(*this, *statusLine_);
  auto* findCommands = new FindCommands(*this, encodingMenu_->Menu());
  connect(this, &TFormDisplay::RunShown, findCommands, &FindCommands::RunShown);
  connect(this, &TFormDisplay::LogCleared, findCommands, &FindCommands::PanesCleared);
  auto* findInRuns = new FindInRunsCommand(*this, *statusLine_, *findCommands);
  connect(document_, &LogDocument::StoreChanging, findInRuns, &FindInRunsCommand::StoreChanging);
  connect(document_, &LogDocument::EncodingChanged, findInRuns, &FindInRunsCommand::SearchAgain);
  new FindInLogsCommand(*this, *findCommands);
  auto* compare = new CompareCommand(*this, *statusLine_, *findCommands->Menu());
  connect(document_, &LogDocument::StoreChanging, compare, &CompareCommand::StoreChanging);
  highlightRules_ = new HighlightRulesHolder(this);
  new HighlightCommand(*this, *highlightRules_, *findCommands);
  auto* saveRun = new SaveRunCommand(*this, *statusLine_);
  connect(document_, &LogDocument::StoreChanging, saveRun, &SaveRunCommand::StoreChanging);
  auto* columns = new OptionalColumns(*RunsView);
  auto* alerts = new AlertsCommand(*this, *highlightRules_, *columns, *findCommands->Menu());
  connect(document_, &LogDocument::StoreChanging, alerts, &AlertsCommand::StoreChanging);
  connect(document_, &LogDocument::EncodingChanged, alerts, &AlertsCommand::CountAgain);
  new AlertSteps(*this, *alerts, *statusLine_, *findCommands->Menu());
  new FileDrops(*this);
  new WindowPlacement(*this, *SplitterPanel1);
  new HelpMenu(*this);
}

void TFormDisplay::CreateMenu() {
  MainMenu1 = menuBar();
  File1 = MainMenu1->addMenu(tr("&File"));
  OpenMenuItem = File1->addAction(tr("&Open"), QKeySequence(Qt::CTRL | Qt::Key_O), this,
                                  ShowingErrors([this] { OpenMenuItemClick(OpenMenuItem); }));
  N1 = File1->addSeparator();
  ReloadMenuItem = File1->addAction(tr("&Reload"), QKeySequence(Qt::Key_F5), this,
                                    ShowingErrors([this] { ReloadMenuItemClick(ReloadMenuItem); }));
  ReloadMenuItem->setEnabled(false);
  N2 = File1->addSeparator();
  ExitMenuItem = File1->addAction(tr("E&xit"), QKeySequence(Qt::CTRL | Qt::Key_Q), this,
                                  ShowingErrors([this] { ExitMenuItemClick(ExitMenuItem); }));
}

void TFormDisplay::CreatePanes() {
  SplitterPane1 = SplitterPanel1->UpperLeft();
  SplitterPane2 = SplitterPanel1->UpperRight();
  SplitterPane3 = SplitterPanel1->Lower();
  RunsView = new TRunsView(document_->Store());
  LogMemo = new TTextPane;
  ScriptMemo = new TTextPane;
  LogMemo->setObjectName(QStringLiteral("LogMemo"));
  ScriptMemo->setObjectName(QStringLiteral("ScriptMemo"));
  LogMemo->setFrameShape(QFrame::NoFrame);
  ScriptMemo->setFrameShape(QFrame::NoFrame);
  RunsView->setObjectName(QStringLiteral("RunsView"));
  SplitterPane1->SetContent(LogMemo);
  SplitterPane2->SetContent(ScriptMemo);
  SplitterPane3->SetContent(RunsView);
  SplitterPanel1->SetBarProportions(kUpperBandPercent, kLeftPanePercent);
  connect(RunsView, &TRunsView::SelectItem, this,
          ShowingErrors([this](QObject* sender, int item, bool selected) {
            RunsViewSelectItem(sender, item, selected);
          }));
}

void TFormDisplay::SetStartupFile(QString fileName) {
  StartupFileName = std::move(fileName);
  if (!StartupFileName.isEmpty()) {
    CurrentFileName = StartupFileName;
    ReloadMenuItem->setEnabled(true);
    emit CurrentFileChanged(CurrentFileName);
  }
}

void TFormDisplay::FollowForThisWindow() {
  followCommand_->SetOnForThisWindow();
}

void TFormDisplay::showEvent(QShowEvent* event) {
  TForm::showEvent(event);
#ifdef Q_OS_WIN
  // The window has its handle by now. Windows drops run-selection messages from senders without
  // elevation when this viewer runs elevated, unless the window lets them through.
  const HWND window = reinterpret_cast<HWND>(winId());
  ChangeWindowMessageFilterEx(window, WM_COPYDATA, MSGFLT_ALLOW, nullptr);
  // Senders look for the mark, not for the caption that other windows share.
  SetPropW(window, kViewerWindowProperty, reinterpret_cast<HANDLE>(1));
#endif
  // After the window is on screen, so that a failed open shows its message over the window and
  // the window stays; a show that comes from un-minimising is not a first show.
  if (!event->spontaneous()) {
    QMetaObject::invokeMethod(this, ShowingErrors([this] { FormShow(this); }),
                              Qt::QueuedConnection);
  }
}

void TFormDisplay::closeEvent(QCloseEvent* event) {
  document_->CancelLoad();
  TForm::closeEvent(event);
}

void TFormDisplay::FormShow(QObject* /*sender*/) {
  if (StartupFileName.isEmpty()) return;
  OpenLogFile(StartupFileName);
  AddToRecentWhenLoaded(StartupFileName);
}

void TFormDisplay::ClearLogData() {
  // A form made by the (owner, dummy) constructor has no panes and no table to empty.
  if (LogMemo) LogMemo->Clear();
  if (ScriptMemo) ScriptMemo->Clear();
  shownRun_ = RunText();
  shownRow_ = -1;
  if (RunsView) RunsView->Items()->Clear();
  document_->Clear();
}

void TFormDisplay::LoadLogFile(const QString& fileName) {
  ClearLogData();
  loadEnd_ = LoadEnd();
  loadedRowsPending_ = -1;
  document_->Load(fileName);
}

// The model folds the runs into RowToRun as it takes them in.
void TFormDisplay::FillRunsView(int firstChangedRow) {
  const bool hadRows = RunsView->RowCount() > 0;
  // A run whose header came whole may now share the date and time of the run before it: the
  // table loses its last row, and the rows before it keep their place, as they do for growth.
  RunsView->Items()->RowsChangedFrom(firstChangedRow);
  if (!hadRows) RunsView->FitColumnsToTexts();
}

void TFormDisplay::RunsViewSelectItem(QObject* /*sender*/, int item, bool selected) {
  if (!selected) return;
  LogMemo->Clear();
  ScriptMemo->Clear();
  shownRun_ = RunText();
  shownRow_ = -1;
  document_->ReadRun(item, [this, item](RunText text) { ShowRun(item, std::move(text)); });
}

void TFormDisplay::ShowRun(int row, RunText text) {
  shownRun_ = std::move(text);
  shownRow_ = row;
  const Encoding encoding = document_->Store().TextEncoding;
  LogMemo->AppendLines(shownRun_.Log(), encoding);
  ScriptMemo->AppendLines(shownRun_.Script(), encoding);
  emit RunShown(row);
}

void TFormDisplay::OpenLogFile(const QString& fileName) {
  CurrentFileName = fileName;
  ReloadMenuItem->setEnabled(true);
  emit CurrentFileChanged(CurrentFileName);
  LoadLogFile(fileName);
  // FillRunsView follows as the rows come.
  loadEnd_.selectFirstRow = true;
  loadEnd_.caption = fileName;
}

void TFormDisplay::ReloadLogFile() {
  const int k = RunsView->SelectedIndex();
  LoadLogFile(CurrentFileName);
  loadEnd_.reselectRow = k;
}

void TFormDisplay::AddToRecentWhenLoaded(const QString& fileName) {
  loadEnd_.recentFile = fileName;
}

void TFormDisplay::ShowFailureInStatusLine() {
  loadEnd_.failureInStatusLine = true;
}

void TFormDisplay::OpenMenuItemClick(QObject* /*sender*/) {
  if (!OpenDialogLog->Execute()) return;
  OpenLogFile(OpenDialogLog->FileName);
  AddToRecentWhenLoaded(OpenDialogLog->FileName);
}

void TFormDisplay::ReloadMenuItemClick(QObject* /*sender*/) {
  ReloadLogFile();
}

void TFormDisplay::ExitMenuItemClick(QObject* /*sender*/) {
  close();
}

void TFormDisplay::MRUList1Click(QObject* /*sender*/, const QString& fileName, int /*unused*/) {
  OpenLogFile(fileName);
}

void TFormDisplay::Dispatch(TMessage& message) {
  if (message.Msg == kSelectRunMessage) {
    WMSelectRun(message);
    return;
  }
  TForm::Dispatch(message);
}

void TFormDisplay::WMSelectRun(TMessage& message) {
  const int32_t n = message.WParam;
  const int c = RunsView->RowCount();
  // A row that a load has not reached yet is selected once it has finished; the last request
  // counts.
  if (document_->Loading() && n > 0) loadEnd_.requestedRow = n > c ? n : 0;
  if (n > c || n <= 0) return;
  RunsView->SetSelectedIndex(n - 1);
  RunsView->MakeVisible(n - 1);
  RunsView->setFocus();
  BringToFront();
}

void TFormDisplay::BringToFront() {
#ifdef Q_OS_WIN
  // The sender lets this process take the foreground; only the Windows platform's windows have
  // a handle to give it to (the tests' offscreen ones do not).
  if (QGuiApplication::platformName() == QLatin1String("windows")) {
    SetForegroundWindow(reinterpret_cast<HWND>(winId()));
    return;
  }
#endif
  raise();
  activateWindow();
}

#ifdef Q_OS_WIN

bool TFormDisplay::nativeEvent(const QByteArray& eventType, void* message, qintptr* result) {
  const MSG* native = static_cast<const MSG*>(message);
  if (native->message != kSelectRunMessage) return TForm::nativeEvent(eventType, message, result);
  TMessage routed;
  routed.Msg = native->message;
  routed.WParam = static_cast<int32_t>(native->wParam);
  routed.LParam = static_cast<int32_t>(native->lParam);
  try {
    Dispatch(routed);
  } catch (...) {
    // Windows calls this from inside its own code, which an exception does not unwind through on
    // x64. The message is answered as handled, and the error shown like any handler's; a sender
    // in another process gets its answer first.
    ShowCurrentException();
  }
  *result = routed.Result;
  return true;
}

#endif
