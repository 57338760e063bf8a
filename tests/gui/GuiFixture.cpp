#include "GuiFixture.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QEvent>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPointer>
#include <QTest>
#include <QTimer>

namespace korvane::test {
namespace {

// Wakes a wait that has no event of its own coming, so its bound is looked at.
constexpr std::chrono::milliseconds WaitWakeInterval{50};

}  // namespace

MessageBoxAnswerer::MessageBoxAnswerer() {
  QApplication::instance()->installEventFilter(this);
}

MessageBoxAnswerer::~MessageBoxAnswerer() {
  QApplication::instance()->removeEventFilter(this);
}

bool MessageBoxAnswerer::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::Show) {
    if (auto* box = qobject_cast<QMessageBox*>(watched)) {
      texts_ << box->text();
      // Pressed from the box's own loop, once it runs.
      QPointer<QMessageBox> shown(box);
      QTimer::singleShot(0, box, [shown] {
        if (shown) shown->button(QMessageBox::Ok)->click();
      });
    }
  }
  return QObject::eventFilter(watched, event);
}

GuiFixture::GuiFixture() = default;

GuiFixture::~GuiFixture() {
  // The windows go before the runtime; the main window waits for any workers still running.
  forms.reset();
}

void GuiFixture::ShowMain() {
  forms = std::make_unique<KorvaneForms>(runtime.Application());
  forms->mainWindow.Show();
  QApplication::processEvents();
}

std::string GuiFixture::Screenshot(const TForm& form, const std::string& name) {
  const QString folder = KORVANE_BINARY_DIR "/screenshots";
  QDir().mkpath(folder);
  const QString path = folder + "/" + QString::fromStdString(name) + ".png";
  QWidget* window = Window(form);
  EXPECT_NE(window, nullptr) << name;
  if (!window) return {};
  QApplication::processEvents();
  EXPECT_TRUE(window->grab().save(path)) << path.toStdString();
  return path.toStdString();
}

void GuiFixture::WhenModal(std::function<void()> action) {
  QTimer::singleShot(0, QApplication::instance(), std::move(action));
}

bool GuiFixture::WaitFor(const std::function<bool()>& done, std::chrono::milliseconds bound) {
  QTimer wake;
  wake.start(WaitWakeInterval);
  const auto deadline = std::chrono::steady_clock::now() + bound;
  while (!done() && std::chrono::steady_clock::now() < deadline) {
    QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
  }
  return done();
}

void GuiFixture::TypeInto(QWidget* edit, const QString& text) {
  ASSERT_NE(edit, nullptr);
  edit->setFocus();
  QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
  QTest::keyClick(edit, Qt::Key_Delete);
  QTest::keyClicks(edit, text);
}

QStringList GuiFixture::LinesOf(const QWidget* memo) {
  auto* editor = qobject_cast<const QPlainTextEdit*>(memo);
  return editor ? editor->toPlainText().split('\n') : QStringList();
}

}  // namespace korvane::test
