#pragma once

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "platform/Exception.h"
#include "ui/TControl.h"

namespace korvane {

class TApplication;
class TButton;
class TMainMenu;

// A window. Its Width and Height are its client area (the frame belongs to the desktop); its
// menu bar, when it has one, sits above the client area. The first form made for an
// application is its main form: closing it ends the application.
//
// Showing modally differs between backends:
// - headless (tests, korvane-cli): ShowModal shows the form (OnShow runs) and returns at once
//   with mrNone; the form stays visible and modal until something closes it (a test or the
//   cli pressing its buttons), and ModalResult then tells how it was closed.
// - Qt: ShowModal runs a modal loop and returns when the form has been closed, with its
//   ModalResult.
class TForm : public TControl {
 public:
  TForm(TApplication& app, std::string name);
  ~TForm() override;

  TApplication& App() const { return app_; }

  const std::string& Caption() const { return caption_; }
  void SetCaption(std::string caption);

  int ClientWidth() const { return Width(); }
  int ClientHeight() const { return Height(); }
  void SetClientSize(int width, int height) { SetBounds(Left(), Top(), width, height); }
  void SetClientWidth(int width) { SetClientSize(width, ClientHeight()); }
  void SetClientHeight(int height) { SetClientSize(ClientWidth(), height); }

  // Blank pixels between the window's edge and its docked controls.
  int BorderWidth() const { return borderWidth_; }
  void SetBorderWidth(int width);

  TFormPosition Position() const { return position_; }
  void SetPosition(TFormPosition position);
  TBorderStyle BorderStyle() const { return borderStyle_; }
  void SetBorderStyle(TBorderStyle style);
  TFormStyle FormStyle() const { return formStyle_; }
  void SetFormStyle(TFormStyle style);

  // Shows the form: gives every component a peer when the backend has widgets, runs OnShow,
  // then makes the window visible. Showing a visible form does nothing.
  void Show();
  // Hides the form without asking (OnHide runs); a modal showing ends.
  void Hide();
  // See the class comment for how the backends differ. Raises Exception when the form is
  // already visible.
  TModalResult ShowModal();
  // Asks OnCloseQuery, then OnClose; unless one refuses, hides the form (a modal showing ends
  // with mrCancel unless a result was set) and, for the main form, ends the application.
  // Returns whether the form closed. A Close that comes while an earlier one is still asking
  // its handlers (they process messages) is refused.
  bool Close();
  bool Modal() const { return modal_; }

  TModalResult ModalResult() const { return modalResult_; }
  // Setting a result other than mrNone while the form is shown modally closes it.
  void SetModalResult(TModalResult result);

  // The form's menu bar: the first TMainMenu made on the form, unless set otherwise.
  TMainMenu* Menu() const { return menu_; }
  void SetMenu(TMainMenu* menu);

  // The button that Enter presses (Default) and the one Esc presses (Cancel), if any.
  TButton* DefaultButton() const;
  TButton* CancelButton() const;

  // What a user's keys and the window's close box do. Return whether anything happened.
  bool UserPressEnter();
  bool UserPressEscape();
  bool UserClose();

  // The component registered under the name, or null.
  TComponent* FindComponent(const std::string& name) const;
  // The component under the name as a T; raises Exception when there is none of that kind.
  template <class T>
  T& Find(const std::string& name) const {
    T* component = dynamic_cast<T*>(FindComponent(name));
    if (!component) throw Exception("Component not found: " + name);
    return *component;
  }
  // Every component of the form (not the form itself) in the order they were made.
  const std::vector<TComponent*>& Components() const { return components_; }

  // Gives every component without a peer one from the backend's factory, the form first and
  // then the components in the order they were made (so containers before their children).
  // Show calls it; a form that adds components after being shown calls it again.
  void Realize();

  TRect ClientRect() const override;
  std::unique_ptr<TPeer> MakePeer(TPeerFactory& factory) override;

  std::function<void()> OnShow;
  std::function<void()> OnHide;
  // Sets canClose to false to refuse closing (it comes in true).
  std::function<void(bool& canClose)> OnCloseQuery;
  // Sets action to caNone to refuse closing (it comes in caHide).
  std::function<void(TCloseAction& action)> OnClose;

 private:
  friend class TComponent;
  void RegisterComponent(TComponent& component);
  void UnregisterComponent(TComponent& component);

  TApplication& app_;
  std::string caption_;
  int borderWidth_ = 0;
  TFormPosition position_ = poDesigned;
  TBorderStyle borderStyle_ = bsSizeable;
  TFormStyle formStyle_ = fsNormal;
  bool modal_ = false;
  bool closing_ = false;  // Close is asking its handlers (they may process messages)
  TModalResult modalResult_ = mrNone;
  TMainMenu* menu_ = nullptr;
  std::vector<TComponent*> components_;
  std::map<std::string, TComponent*> byName_;
};

}  // namespace korvane
