#include "ui/qt/TQtRuntime.h"

namespace korvane {

TQtRuntime::TQtRuntime(int& argc, char** argv) {
  if (!QApplication::instance()) qtApp_ = std::make_unique<QApplication>(argc, argv);
  backend_ = std::make_unique<TQtBackend>();
  app_ = std::make_unique<TApplication>(dialogs_, backend_.get());
  dialogs_.TitleSource = [this] { return app_->Title(); };
}

TQtRuntime::~TQtRuntime() {
  dialogs_.TitleSource = nullptr;
  app_.reset();
  backend_.reset();
}

}  // namespace korvane
