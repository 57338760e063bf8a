#pragma once

#include <QMainWindow>
#include <QString>

#include "views/ViewSource.h"

class QAction;
class QLabel;
class QStackedWidget;

namespace korvane::viewer {

class FlatPanoramaView;
class PanoramaDocument;
class SpherePanoramaView;

// The viewer's window: the 360-degree view or the flat picture of one panorama, a message in
// place of the picture when it cannot be shown, and the view's angles or zoom with the
// source's state in the status bar.
class PanoramaWindow final : public QMainWindow {
  Q_OBJECT

 public:
  explicit PanoramaWindow(QWidget* parent = nullptr);
  ~PanoramaWindow() override;

  // Opens a JPEG, a task file or a tile folder in place of what is shown. Errors show in the
  // window and go to stderr.
  void Open(const QString& path);

  void ShowFlat();
  void ShowSphere();

  const PanoramaDocument* Document() const { return document_; }
  FlatPanoramaView* FlatView() const { return flatView_; }
  SpherePanoramaView* SphereView() const { return sphereView_; }
  // The message shown in place of the picture (empty while a picture is shown).
  QString Message() const;

  // Saves what the 360-degree view shows as an ordinary width x height picture at path (an
  // existing file replaced), with the code of mosaicker --view, cut to the size the panorama
  // holds. Returns the line the status bar shows: what was saved, or why nothing was.
  QString SaveView(const QString& path, int width, int height);

 private:
  void ShowMessage(const QString& text);
  void ShowView();
  void UpdateSourceStatus();
  void ChooseFile();
  void ChooseFolder();
  void MakeViews();
  void ChooseSaveView();
  void ShowPlace();

  PanoramaDocument* document_ = nullptr;
  QStackedWidget* pages_ = nullptr;
  QLabel* messageLabel_ = nullptr;
  FlatPanoramaView* flatView_ = nullptr;
  SpherePanoramaView* sphereView_ = nullptr;
  QLabel* viewStatus_ = nullptr;
  QLabel* sourceStatus_ = nullptr;
  QLabel* compassStatus_ = nullptr;
  QLabel* placeStatus_ = nullptr;
  QAction* flatAction_ = nullptr;
  QAction* sphereAction_ = nullptr;
  QString path_;
  PlaceFacts place_;
  bool sphereChosen_ = true;
};

}  // namespace korvane::viewer
