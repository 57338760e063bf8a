#include "app/KorvaneForms.h"

#include "main/ProductInfo.h"

namespace korvane {

KorvaneForms::KorvaneForms(TApplication& app)
    : Form1(app),
      aboutWindow(app, AboutSources{[this] { return Form1.Caption(); },
                                    [this] { return Form1.HomePageAddress; },
                                    [this] { return Form1.ContactAddress; }}),
      converterWindow(app),
      optionsWindow(app),
      retryWindow(app) {
  app.SetTitle(ApplicationTitle);
  Form1.ShowOptions = [this] { optionsWindow.ShowModal(); };
  Form1.ShowConverter = [this] { converterWindow.Show(); };
  Form1.ShowRetry = [this] { retryWindow.ShowModal(); };
  Form1.ShowAbout = [this] { aboutWindow.ShowModal(); };
}

}  // namespace korvane
