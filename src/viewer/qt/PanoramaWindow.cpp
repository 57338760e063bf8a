#include "viewer/qt/PanoramaWindow.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QStackedWidget>
#include <QStatusBar>
#include <algorithm>
#include <cstdio>

#include "platform/Paths.h"
#include "task/PanoramaRecordFile.h"
#include "viewer/Compass.h"
#include "viewer/ViewerLimits.h"
#include "viewer/qt/FlatPanoramaView.h"
#include "viewer/qt/PanoramaDocument.h"
#include "viewer/qt/SpherePanoramaView.h"
#include "views/ViewArguments.h"
#include "views/ViewLimits.h"
#include "views/ViewPicture.h"

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
  fileMenu->addAction("&Save View As...", QKeySequence::Save, this, [this] { ChooseSaveView(); });
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
  compassStatus_ = new QLabel(this);
  compassStatus_->setObjectName("compassStatus");
  placeStatus_ = new QLabel(this);
  placeStatus_->setObjectName("placeStatus");
  statusBar()->addWidget(viewStatus_, 1);
  statusBar()->addPermanentWidget(compassStatus_);
  statusBar()->addPermanentWidget(placeStatus_);
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
      if (view == sphereView_) compassStatus_->setText(sphereView_->CompassText());
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
  place_ = ReadPlaceFacts(path.toStdString());
  sphereView_->SetMiddleHeading(place_.MiddleHeading);
  // Facing north when the panorama says where it lies.
  if (place_.MiddleHeading)
    sphereView_->SetAngles({AngleOfHeading(0, place_.MiddleHeading), 0, DefaultFieldOfView});
  connect(document_, &PanoramaDocument::opened, this, [this] {
    ShowView();
    UpdateSourceStatus();
    ShowPlace();
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
  compassStatus_->clear();
  placeStatus_->clear();
}

void PanoramaWindow::ShowPlace() {
  compassStatus_->setText(sphereChosen_ ? sphereView_->CompassText() : QString());
  QStringList parts;
  if (place_.Record && place_.Record->Date)
    parts << "Captured " + QString::fromStdString(CaptureMonthText(*place_.Record->Date));
  // The record keeps only printable text of bounded length.
  if (place_.Record && !place_.Record->Copyright.empty())
    parts << QString::fromStdString(place_.Record->Copyright);
  placeStatus_->setText(parts.join("   "));
}

void PanoramaWindow::ChooseSaveView() {
  if (!document_ || !document_->IsOpen() || !sphereChosen_) {
    statusBar()->showMessage(
        "Save View As... saves what the 360° view shows: open a panorama "
        "and choose View > 360° view.");
    return;
  }
  const int width = std::min(2 * sphereView_->width(), MaxViewSide);
  const int height = std::min(2 * sphereView_->height(), MaxViewSide);
  bool ok = false;
  const QString sizeText = QInputDialog::getText(
      this, "Save View As", "Size of the picture (WIDTHxHEIGHT):", QLineEdit::Normal,
      QString("%1x%2").arg(width).arg(height), &ok);
  if (!ok) return;
  const std::optional<ViewSize> size = ParseViewSizeArgument(sizeText.trimmed().toStdString());
  if (!size) {
    statusBar()->showMessage(QString::fromStdString(ViewSizeProblem()).mid(7));
    return;
  }
  const QString suggested = QString::fromStdString(
      RemoveFileExt(place_.SourcePath.empty() ? path_.toStdString() : place_.SourcePath) +
      ViewSuffix(sphereView_->Heading()) + ".jpg");
  const QString path =
      QFileDialog::getSaveFileName(this, "Save View As", suggested, "JPEG pictures (*.jpg)");
  if (!path.isEmpty()) statusBar()->showMessage(SaveView(path, size->Width, size->Height));
}

QString PanoramaWindow::SaveView(const QString& path, int width, int height) {
  if (place_.SourcePath.empty())
    return "Only a task's panorama or a picture can be saved as a view, not a folder of tiles "
           "without its task file.";
  try {
    const ViewSource source = OpenViewSource(place_.SourcePath);
    const ViewAngles angles = sphereView_->Angles();
    const ViewSize size =
        HonestViewSize({width, height}, angles.FieldOfView, source.Placement.FullWidth);
    const MadeView view = RenderView(source, angles, size.Width, size.Height);
    const double heading = HeadingOfAngle(angles.Heading, source.MiddleHeading);
    WriteViewPicture(path.toStdString(), view.Pixels,
                     ViewMetadata(source, {heading, source.MiddleHeading.has_value(), angles.Pitch,
                                           angles.FieldOfView}),
                     DefaultViewQuality, true);
    QString text = QString("Saved %1 (%2 x %3)").arg(path).arg(size.Width).arg(size.Height);
    if (size.Width < width) text += ": the panorama holds no more detail";
    if (view.MissingTiles > 0) text += QString(", %1 tiles missing (grey)").arg(view.MissingTiles);
    return text;
  } catch (const std::exception& error) {
    return QString::fromStdString(error.what());
  }
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
  if (document_ && document_->IsOpen()) ShowPlace();
}

void PanoramaWindow::ShowSphere() {
  sphereChosen_ = true;
  sphereAction_->setChecked(true);
  ShowView();
  if (document_ && document_->IsOpen()) ShowPlace();
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
