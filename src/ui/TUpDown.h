#pragma once

#include <string>

#include "ui/TControl.h"

namespace korvane {

class TEdit;

// A spin control: Position between Min and Max, shown in the associated edit box. Stepping
// first takes the box's current text as the position when it is a number (the user may have
// typed one), then moves by Increment and stops at Min and Max, or, with Wrap, goes round.
class TUpDown : public TControl {
 public:
  TUpDown(TControl* parent, std::string name);
  ~TUpDown() override;

  int Min() const { return min_; }
  int Max() const { return max_; }
  void SetMin(int min);
  void SetMax(int max);
  // Clamped into Min..Max; the associated edit box shows the new position.
  int Position() const { return position_; }
  void SetPosition(int position);
  int Increment() const { return increment_; }
  void SetIncrement(int increment) { increment_ = increment; }
  bool Wrap() const { return wrap_; }
  void SetWrap(bool wrap) { wrap_ = wrap; }

  // The edit box that shows the position (it shows it at once, and its Up and Down keys step
  // this control); null for none. Either of the two going ends the association.
  TEdit* Associate() const { return associate_; }
  void SetAssociate(TEdit* edit);

  void StepUp();
  void StepDown();
  // A user's press on an arrow, through the application's handler wrapper, when the user can
  // reach the control. Returns whether it happened.
  bool UserStepUp();
  bool UserStepDown();

  std::unique_ptr<TPeer> MakePeer(TPeerFactory& factory) override;

 private:
  void Step(int delta);
  void ShowPosition();

  int min_ = 0;
  int max_ = 100;
  int position_ = 0;
  int increment_ = DefaultUpDownIncrement;
  bool wrap_ = false;
  TEdit* associate_ = nullptr;
};

}  // namespace korvane
