#include "support/write_log.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "site/app_folder.h"
#include "tests/site/scratch_folder.h"

namespace tervando {
namespace {

using test::ReadFile;
using test::ScratchFolder;

TEST(WriteLog, FirstCallCreatesTheFileWithOneCrLfLine) {
  ScratchFolder folder;
  const std::string log = folder.Path() + "Application.log";
  WriteLog("Dateiliste:", log, false);
  EXPECT_EQ(ReadFile(log), "Dateiliste:\r\n");
}

TEST(WriteLog, AppendsInCallOrderAndKeepsEarlierContent) {
  ScratchFolder folder;
  const std::string log = folder.Write("run.log", "old line\r\n");
  WriteLog("1: /site/a.htm", log, false);
  WriteLog("Anzahl ver\xC3\xA4nderter Dateien: 1");
  EXPECT_EQ(ReadFile(log),
            "old line\r\n1: /site/a.htm\r\nAnzahl ver\xC3\xA4nderter Dateien: 1\r\n");
}

TEST(WriteLog, ControlBytesInTheTextCannotForgeLines) {
  ScratchFolder folder;
  const std::string log = folder.Path() + "Application.log";
  WriteLog("1: /s/x\r\nFehler bei Datei forged\r\n9: forged.htm", log, false);
  EXPECT_EQ(ReadFile(log), "1: /s/x\\r\\nFehler bei Datei forged\\r\\n9: forged.htm\r\n");
}

TEST(WriteLog, EmptyNameKeepsTheLastNamedFile) {
  ScratchFolder folder;
  const std::string first = folder.Path() + "first.log";
  WriteLog("a", first, false);
  WriteLog("b", "", false);
  EXPECT_EQ(LogFilePath(), first);
  EXPECT_EQ(ReadFile(first), "a\r\nb\r\n");
}

TEST(WriteLog, SuppressWritesNothingButSettlesThePath) {
  ScratchFolder folder;
  const std::string log = folder.Path() + "quiet.log";
  WriteLog("not written", log, true);
  EXPECT_EQ(LogFilePath(), log);
  EXPECT_FALSE(std::filesystem::exists(log));
}

TEST(WriteLog, BareNameLiesInTheProgramFolder) {
  const std::string name = "tervando-write-log-test.log";
  const std::string expected = AppFolder() + name;
  std::filesystem::remove(expected);
  WriteLog("x", name, false);
  WriteLog("y");
  EXPECT_EQ(LogFilePath(), expected);
  const std::string content = ReadFile(expected);
  std::filesystem::remove(expected);
  EXPECT_EQ(content, "x\r\ny\r\n");
}

TEST(WriteLog, UnwritableLogIsReportedNotThrown) {
  ScratchFolder folder;
  // A folder in the place of the log file cannot be opened for appending, not even by root.
  const std::string blocked = folder.MakeFolder("Application.log");
  EXPECT_FALSE(WriteLog("lost", blocked, false));
  EXPECT_EQ(LogFailure(),
            "Das Protokoll \"" + blocked +
                "\" ist keine gewöhnliche Datei (etwa eine benannte Pipe oder ein Gerät)");
  const std::string missingFolder = folder.Path() + "no/such/folder/a.log";
  EXPECT_FALSE(WriteLog("lost", missingFolder, false));
  EXPECT_EQ(
      LogFailure().rfind("Das Protokoll \"" + missingFolder + "\" lässt sich nicht schreiben (", 0),
      0u);
  EXPECT_FALSE(std::filesystem::exists(missingFolder));
  EXPECT_FALSE(SyncLog());  // a lost line stays lost for the whole program
  EXPECT_TRUE(WriteLog("kept", folder.Path() + "ok.log", false));
  EXPECT_EQ(ReadFile(folder.Path() + "ok.log"), "kept\r\n");
}

}  // namespace
}  // namespace tervando
