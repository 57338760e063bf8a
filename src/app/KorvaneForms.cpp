#include "app/KorvaneForms.h"

#include "main/ProductInfo.h"

namespace korvane {

KorvaneForms::KorvaneForms(TApplication& app)
    : Form1(app),
      frmAbout(app, TAboutSources{[this] { return Form1.Caption(); },
                                  [this] { return Form1.HomePageAddress; },
                                  [this] { return Form1.ContactAddress; }}),
      frmConvert(app),
      frmOptions(app),
      frmFlt(app) {
  app.SetTitle(ApplicationTitle);
  Form1.ShowOptions = [this] { frmOptions.ShowModal(); };
  Form1.ShowConverter = [this] { frmConvert.Show(); };
  Form1.ShowRetry = [this] { frmFlt.ShowModal(); };
  Form1.ShowAbout = [this] { frmAbout.ShowModal(); };
}

}  // namespace korvane
