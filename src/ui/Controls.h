#pragma once

// Everything a form is written with, in one include.
#include "ui/TApplication.h"
#include "ui/TButton.h"
#include "ui/TCheckBox.h"
#include "ui/TEdit.h"
#include "ui/TForm.h"
#include "ui/TGroupBox.h"
#include "ui/TImage.h"
#include "ui/TLabel.h"
#include "ui/TMemo.h"
#include "ui/TMenuItem.h"
#include "ui/TOpenDialog.h"
#include "ui/TPanel.h"
#include "ui/TProgressBar.h"
#include "ui/TStatusBar.h"
#include "ui/TTimer.h"
#include "ui/TUpDown.h"
