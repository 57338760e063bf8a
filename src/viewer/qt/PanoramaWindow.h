#pragma once

#include <QMainWindow>
#include <QString>

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

 private:
  void ShowMessage(const QString& text);
  void ShowView();
  void UpdateSourceStatus();
  void ChooseFile();
  void ChooseFolder();
  void MakeViews();

  PanoramaDocument* document_ = nullptr;
  QStackedWidget* pages_ = nullptr;
  QLabel* messageLabel_ = nullptr;
  FlatPanoramaView* flatView_ = nullptr;
  SpherePanoramaView* sphereView_ = nullptr;
  QLabel* viewStatus_ = nullptr;
  QLabel* sourceStatus_ = nullptr;
  QAction* flatAction_ = nullptr;
  QAction* sphereAction_ = nullptr;
  QString path_;
  bool sphereChosen_ = true;
};

}  // namespace korvane::viewer
