#pragma once

#include <QPointer>
#include <QWidget>

#include "ui/TControl.h"
#include "ui/TPeer.h"

namespace korvane {

// The Qt side of a model control: one widget, named after the control, kept in step with it.
// What every control has (visibility, enabled state, tooltip, bounds, font, colours, cursor)
// is handled here; each kind of peer adds its own properties in Update. The widget is deleted
// with the peer.
class QtControlPeer : public TPeer {
 public:
  ~QtControlPeer() override;

  QWidget* Widget() const { return widget_; }
  // Where the widgets of the control's children go.
  virtual QWidget* Container() const { return widget_; }

  void Changed(TChange what) final;
  // Brings the widget fully in step with the model; the factory calls it once made.
  void SyncAll();

  // The widget the children of a control go into; throws Exception when the control has no
  // Qt peer.
  static QWidget* ContainerOf(const TControl& control);

 protected:
  QtControlPeer(TControl& control, QWidget* widget);

  // Applies a change of the kind-specific properties.
  virtual void Update(TChange what) = 0;
  // Moves and sizes the widget; labels that size themselves override it.
  virtual void ApplyBounds();
  // Shows or hides the widget; windows override it.
  virtual void ApplyVisible();

  TControl& control_;
  QPointer<QWidget> widget_;
};

}  // namespace korvane
