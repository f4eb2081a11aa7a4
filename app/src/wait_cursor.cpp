#include "wait_cursor.h"

#include <QCursor>
#include <QGuiApplication>
#include <QTimer>

namespace parasort {

void showWaitCursorUntilIdle() {
  QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
  // Override cursors stack: each call takes back exactly its own.
  QTimer::singleShot(0, qApp, [] { QGuiApplication::restoreOverrideCursor(); });
}

}  // namespace parasort
