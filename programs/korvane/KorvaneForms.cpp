#include "korvane/KorvaneForms.h"

#include "main/ProductInfo.h"

namespace korvane {

KorvaneForms::KorvaneForms(TApplication& app)
    : mainWindow(app),
      aboutWindow(app, AboutSources{[this] { return mainWindow.Caption(); },
                                    [this] { return mainWindow.HomePageAddress; },
                                    [this] { return mainWindow.ContactAddress; }}),
      converterWindow(app),
      optionsWindow(app),
      retryWindow(app) {
  app.SetTitle(ApplicationTitle);
  mainWindow.ShowOptions = [this] { optionsWindow.ShowModal(); };
  mainWindow.ShowConverter = [this] { converterWindow.Show(); };
  mainWindow.ShowRetry = [this] { retryWindow.ShowModal(); };
  mainWindow.ShowAbout = [this] { aboutWindow.ShowModal(); };
}

}  // namespace korvane
