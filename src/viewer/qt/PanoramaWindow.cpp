#include "viewer/qt/PanoramaWindow.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QMenuBar>
#include <QStackedWidget>
#include <QStatusBar>
#include <cstdio>

#include "viewer/qt/FlatPanoramaView.h"
#include "viewer/qt/PanoramaDocument.h"
#include "viewer/qt/SpherePanoramaView.h"

namespace korvane::viewer {
namespace {

constexpr const char* ProgramName = "pictoscope";
constexpr int DefaultWidth = 1280;
constexpr int DefaultHeight = 720;

}  // namespace

PanoramaWindow::PanoramaWindow(QWidget* parent) : QMainWindow(parent) {
  setObjectName("panoramaWindow");
  setWindowTitle(ProgramName);
  resize(DefaultWidth, DefaultHeight);

  pages_ = new QStackedWidget(this);
  messageLabel_ = new QLabel(pages_);
  messageLabel_->setObjectName("messageLabel");
  messageLabel_->setAlignment(Qt::AlignCenter);
  messageLabel_->setWordWrap(true);
  messageLabel_->setMargin(24);
  messageLabel_->setTextInteractionFlags(Qt::TextSelectableByMouse);
  pages_->addWidget(messageLabel_);
  setCentralWidget(pages_);

  QMenu* fileMenu = menuBar()->addMenu("&File");
  fileMenu->addAction("&Open...", QKeySequence::Open, this, [this] { ChooseFile(); });
  fileMenu->addAction("Open &Folder...", this, [this] { ChooseFolder(); });
  fileMenu->addSeparator();
  fileMenu->addAction("&Quit", QKeySequence::Quit, this, [this] { close(); });

  QMenu* viewMenu = menuBar()->addMenu("&View");
  auto* group = new QActionGroup(this);
  sphereAction_ = viewMenu->addAction("&360° view", Qt::Key_V, this, [this] { ShowSphere(); });
  flatAction_ = viewMenu->addAction("&Flat picture", Qt::Key_F, this, [this] { ShowFlat(); });
  for (QAction* action : {sphereAction_, flatAction_}) {
    action->setCheckable(true);
    group->addAction(action);
  }
  sphereAction_->setChecked(true);

  viewStatus_ = new QLabel(this);
  viewStatus_->setObjectName("viewStatus");
  sourceStatus_ = new QLabel(this);
  sourceStatus_->setObjectName("sourceStatus");
  statusBar()->addWidget(viewStatus_, 1);
  statusBar()->addPermanentWidget(sourceStatus_);

  ShowMessage("Open a panorama: a JPEG, a task file (.krvn) or a tile folder (File > Open).");
}

PanoramaWindow::~PanoramaWindow() {
  // The views refer to the document: they go first.
  delete pages_;
  pages_ = nullptr;
  delete document_;
}

QString PanoramaWindow::Message() const {
  return pages_->currentWidget() == messageLabel_ ? messageLabel_->text() : QString();
}

void PanoramaWindow::MakeViews() {
  delete flatView_;
  delete sphereView_;
  flatView_ = new FlatPanoramaView(*document_, pages_);
  sphereView_ = new SpherePanoramaView(*document_, pages_);
  pages_->addWidget(flatView_);
  pages_->addWidget(sphereView_);
  for (RenderedView* view :
       {static_cast<RenderedView*>(flatView_), static_cast<RenderedView*>(sphereView_)}) {
    connect(view, &RenderedView::statusChanged, this, [this, view](const QString& text) {
      if (pages_->currentWidget() == view) viewStatus_->setText(text);
    });
  }
}

void PanoramaWindow::Open(const QString& path) {
  path_ = path;
  setWindowTitle(QString("%1 - %2").arg(QFileInfo(path).fileName(), ProgramName));
  ShowMessage(QString("Opening %1 ...").arg(path));
  PanoramaDocument* old = document_;
  document_ = new PanoramaDocument;
  MakeViews();
  delete old;
  connect(document_, &PanoramaDocument::opened, this, [this] {
    ShowView();
    UpdateSourceStatus();
  });
  connect(document_, &PanoramaDocument::changed, this, [this] {
    pages_->currentWidget()->update();
    UpdateSourceStatus();
  });
  connect(document_, &PanoramaDocument::failed, this, [this](const QString& message) {
    std::fprintf(stderr, "%s: %s\n", ProgramName, message.toLocal8Bit().constData());
    if (document_->IsOpen()) {
      statusBar()->showMessage(message);
    } else {
      ShowMessage(message);
    }
  });
  document_->Open(path);
}

void PanoramaWindow::ShowMessage(const QString& text) {
  messageLabel_->setText(text);
  pages_->setCurrentWidget(messageLabel_);
  viewStatus_->clear();
  sourceStatus_->clear();
}

void PanoramaWindow::ShowView() {
  if (!document_ || !document_->IsOpen()) return;
  RenderedView* view = sphereChosen_ ? static_cast<RenderedView*>(sphereView_)
                                     : static_cast<RenderedView*>(flatView_);
  pages_->setCurrentWidget(view);
  view->setFocus();
  viewStatus_->setText(sphereChosen_ ? sphereView_->StatusText() : flatView_->StatusText());
}

void PanoramaWindow::ShowFlat() {
  sphereChosen_ = false;
  flatAction_->setChecked(true);
  ShowView();
}

void PanoramaWindow::ShowSphere() {
  sphereChosen_ = true;
  sphereAction_->setChecked(true);
  ShowView();
}

void PanoramaWindow::UpdateSourceStatus() {
  if (!document_->IsOpen()) return;
  const Pyramid& picture = document_->Picture();
  QString text = QString("%1 x %2 pixels").arg(picture.Width()).arg(picture.Height());
  if (document_->ShowsTiles()) {
    text = QString("%1 of %2 tiles, %3")
               .arg(document_->ShownTiles())
               .arg(document_->TileCount())
               .arg(text);
  } else if (picture.FinestLevel() > 0) {
    text += ", full size still decoding";
  }
  sourceStatus_->setText(text);
}

void PanoramaWindow::ChooseFile() {
  const QString path = QFileDialog::getOpenFileName(
      this, "Open a panorama", QFileInfo(path_).absolutePath(),
      "Panoramas and tasks (*.jpg *.jpeg *.JPG *.krvn);;All files (*)");
  if (!path.isEmpty()) Open(path);
}

void PanoramaWindow::ChooseFolder() {
  const QString path = QFileDialog::getExistingDirectory(this, "Open a tile folder",
                                                         QFileInfo(path_).absolutePath());
  if (!path.isEmpty()) Open(path);
}

}  // namespace korvane::viewer
