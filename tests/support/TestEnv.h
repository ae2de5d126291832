#pragma once
// The environment every test process starts in: its own HOME and XDG folders inside a
// temporary folder, created before the QApplication and removed after the tests.
#include <QString>

namespace kvtest {

// The temporary root of this test process (HOME lies in it as "home").
QString TestRoot();
// HOME of this test process, without a trailing slash.
QString TestHome();
// A fresh, empty folder below the test root, with a trailing slash.
QString MakeTempFolder(const QString& name);
// The source tree's root, with a trailing slash (for tests/data fixtures).
QString SourceDir();

} // namespace kvtest
