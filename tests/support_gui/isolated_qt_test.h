#pragma once

#include <QApplication>
#include <QDir>
#include <QStandardPaths>
#include <QTest>
#include <cstdlib>
#include <string>

namespace tervando::testing {

// Points HOME, the XDG folders and TMPDIR into a fresh temporary folder before Qt starts, so
// no test reads or writes a real home, settings store or temporary folder.
class IsolatedHome {
 public:
  IsolatedHome() {
    std::string pattern = "/tmp/tervando-qt-test-XXXXXX";
    if (const char* created = mkdtemp(pattern.data())) m_root = created;
    const std::string subfolders[] = {"/config", "/data", "/cache", "/runtime", "/tmp"};
    for (const std::string& sub : subfolders) QDir().mkpath(QString::fromStdString(m_root + sub));
    QFile::setPermissions(QString::fromStdString(m_root + "/runtime"),
                          QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    setenv("HOME", m_root.c_str(), 1);
    setenv("XDG_CONFIG_HOME", (m_root + "/config").c_str(), 1);
    setenv("XDG_DATA_HOME", (m_root + "/data").c_str(), 1);
    setenv("XDG_CACHE_HOME", (m_root + "/cache").c_str(), 1);
    setenv("XDG_RUNTIME_DIR", (m_root + "/runtime").c_str(), 1);
    setenv("TMPDIR", (m_root + "/tmp").c_str(), 1);
    QStandardPaths::setTestModeEnabled(true);
  }
  ~IsolatedHome() {
    if (!m_root.empty()) QDir(QString::fromStdString(m_root)).removeRecursively();
  }
  IsolatedHome(const IsolatedHome&) = delete;
  IsolatedHome& operator=(const IsolatedHome&) = delete;

  const std::string& Root() const { return m_root; }

 private:
  std::string m_root;
};

template <typename TestObject>
int RunIsolated(int argc, char* argv[]) {
  IsolatedHome home;
  if (home.Root().empty()) return 1;
  QApplication application(argc, argv);
  TestObject test;
  return QTest::qExec(&test, argc, argv);
}

}  // namespace tervando::testing

#define TERVANDO_ISOLATED_QTEST_MAIN(TestObject)                   \
  int main(int argc, char* argv[]) {                               \
    return tervando::testing::RunIsolated<TestObject>(argc, argv); \
  }
