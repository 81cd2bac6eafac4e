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
  ActivityLog(log).WriteLog("Dateiliste:");
  EXPECT_EQ(ReadFile(log), "Dateiliste:\r\n");
}

TEST(WriteLog, AppendsInCallOrderAndKeepsEarlierContent) {
  ScratchFolder folder;
  const std::string log = folder.Write("run.log", "old line\r\n");
  ActivityLog activityLog(log);
  activityLog.WriteLog("1: /site/a.htm");
  activityLog.WriteLog("Anzahl ver\xC3\xA4nderter Dateien: 1");
  EXPECT_EQ(ReadFile(log),
            "old line\r\n1: /site/a.htm\r\nAnzahl ver\xC3\xA4nderter Dateien: 1\r\n");
}

TEST(WriteLog, ControlBytesInTheTextCannotForgeLines) {
  ScratchFolder folder;
  const std::string log = folder.Path() + "Application.log";
  ActivityLog(log).WriteLog("1: /s/x\r\nFehler bei Datei forged\r\n9: forged.htm");
  EXPECT_EQ(ReadFile(log), "1: /s/x\\r\\nFehler bei Datei forged\\r\\n9: forged.htm\r\n");
}

TEST(WriteLog, EachLogKeepsItsOwnFile) {
  ScratchFolder folder;
  const std::string first = folder.Path() + "first.log";
  const std::string second = folder.Path() + "second.log";
  ActivityLog firstLog(first);
  ActivityLog secondLog(second);
  firstLog.WriteLog("a");
  secondLog.WriteLog("b");
  firstLog.WriteLog("c");
  EXPECT_EQ(firstLog.FilePath(), first);
  EXPECT_EQ(ReadFile(first), "a\r\nc\r\n");
  EXPECT_EQ(ReadFile(second), "b\r\n");
}

TEST(WriteLog, MakingTheLogWritesNothing) {
  ScratchFolder folder;
  const std::string log = folder.Path() + "quiet.log";
  ActivityLog quiet(log);
  EXPECT_EQ(quiet.FilePath(), log);
  EXPECT_TRUE(quiet.SyncLog());
  EXPECT_FALSE(std::filesystem::exists(log));
}

TEST(WriteLog, BareNameLiesInTheProgramFolder) {
  const std::string name = "tervando-write-log-test.log";
  const std::string expected = AppFolder() + name;
  std::filesystem::remove(expected);
  ActivityLog log(name);
  log.WriteLog("x");
  log.WriteLog("y");
  EXPECT_EQ(log.FilePath(), expected);
  EXPECT_EQ(ActivityLog().FilePath(), DefaultLogFilePath());
  const std::string content = ReadFile(expected);
  std::filesystem::remove(expected);
  EXPECT_EQ(content, "x\r\ny\r\n");
}

TEST(WriteLog, UnwritableLogIsReportedNotThrown) {
  ScratchFolder folder;
  // A folder in the place of the log file cannot be opened for appending, not even by root.
  const std::string blocked = folder.MakeFolder("Application.log");
  ActivityLog blockedLog(blocked);
  EXPECT_FALSE(blockedLog.WriteLog("lost"));
  EXPECT_EQ(blockedLog.Failure(),
            "Das Protokoll \"" + blocked +
                "\" ist keine gewöhnliche Datei (etwa eine benannte Pipe oder ein Gerät)");
  const std::string missingFolder = folder.Path() + "no/such/folder/a.log";
  ActivityLog missingLog(missingFolder);
  EXPECT_FALSE(missingLog.WriteLog("lost"));
  EXPECT_EQ(missingLog.Failure().rfind(
                "Das Protokoll \"" + missingFolder + "\" lässt sich nicht schreiben (", 0),
            0u);
  EXPECT_FALSE(std::filesystem::exists(missingFolder));
  EXPECT_FALSE(missingLog.SyncLog());  // a lost line stays lost for the whole log
  ActivityLog kept(folder.Path() + "ok.log");
  EXPECT_TRUE(kept.WriteLog("kept"));
  EXPECT_TRUE(kept.SyncLog());
  EXPECT_EQ(kept.Failure(), "");
  EXPECT_EQ(ReadFile(folder.Path() + "ok.log"), "kept\r\n");
}

}  // namespace
}  // namespace tervando
