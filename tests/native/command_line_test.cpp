// The command line as the Task Scheduler and batch files give it.
#include "app/command_line.h"

#include <gtest/gtest.h>

using namespace tovrel;

TEST(CommandLine, SplitsAsWindowsProgramsDo) {
  using Args = std::vector<std::u16string>;
  EXPECT_EQ(SplitArguments(u"  /run\t\"C:\\Night Plots\\list 1.ini\"  /exit "),
            (Args{u"/run", u"C:\\Night Plots\\list 1.ini", u"/exit"}));
  // Quotes may sit inside an argument; "" inside quotes is a quote; an
  // escaped quote stays; backslashes not before a quote stay as they are.
  EXPECT_EQ(SplitArguments(u"/out \"C:\\My Runs\"\\a.csv \"say \"\"hi\"\"\" a\\\"b \\\\server\\share\\"),
            (Args{u"/out", u"C:\\My Runs\\a.csv", u"say \"hi\"", u"a\"b", u"\\\\server\\share\\"}));
  EXPECT_EQ(SplitArguments(u"\"\" x"), (Args{u"", u"x"}));
  EXPECT_TRUE(SplitArguments(u"   ").empty());
}

TEST(CommandLine, ReadsRunAndCheckWithEitherSignInAnyCase) {
  const LaunchRequest run = ParseCommandLine(u"-RUN \"D:\\Lists\\night list.ini\" /Mode ALL -template 12 /Anyway -EXIT");
  ASSERT_FALSE(run.Failed());
  EXPECT_EQ(run.action, LaunchAction::Run);
  EXPECT_EQ(run.list, u"D:\\Lists\\night list.ini");
  EXPECT_EQ(run.mode, LaunchMode::All);
  EXPECT_EQ(run.templateNumber, 12);
  EXPECT_TRUE(run.anyway && run.exitAtEnd && run.Unattended());

  const LaunchRequest kept = ParseCommandLine(u"/run");
  EXPECT_FALSE(kept.Failed());
  EXPECT_TRUE(kept.list.empty());
  EXPECT_EQ(kept.mode, LaunchMode::PerRow);
  EXPECT_FALSE(kept.Unattended());  // someone started it by hand: the boxes are shown

  const LaunchRequest check = ParseCommandLine(u"list.ini /CHECK -out \"C:\\r\\x y.csv\"");
  ASSERT_FALSE(check.Failed());
  EXPECT_EQ(check.action, LaunchAction::Check);
  EXPECT_EQ(check.list, u"list.ini");
  EXPECT_EQ(check.out, u"C:\\r\\x y.csv");
  EXPECT_TRUE(check.Unattended());

  EXPECT_EQ(ParseCommandLine(u"/run /bogus /?").action, LaunchAction::Usage);
  EXPECT_EQ(ParseCommandLine(u"").action, LaunchAction::Window);
  EXPECT_EQ(ParseCommandLine(u"/run /mode parallel").mode, LaunchMode::Parallel);
}

TEST(CommandLine, NamesWhatItCannotRead) {
  struct Case {
    const char16_t* line;
    CommandLineError error;
    const char16_t* argument;
  };
  const Case cases[] = {
      {u"/run /fast", CommandLineError::UnknownSwitch, u"/fast"},
      {u"/run /mode", CommandLineError::MissingValue, u"/mode"},
      {u"/run /mode /exit", CommandLineError::MissingValue, u"/mode"},
      {u"/run /mode sometimes", CommandLineError::BadValue, u"sometimes"},
      {u"/run /template 21", CommandLineError::BadValue, u"21"},
      {u"/run /template 03", CommandLineError::BadValue, u"03"},
      {u"/run /template x1", CommandLineError::BadValue, u"x1"},
      {u"/run a.ini b.ini", CommandLineError::ExtraArgument, u"b.ini"},
      {u"/run /check a.ini", CommandLineError::ExtraArgument, u"/check"},
      {u"/check /template 2", CommandLineError::ListRequired, u"/check"},
      {u"/check a.ini /exit", CommandLineError::WrongAction, u"/exit"},
      {u"/run /out x.csv", CommandLineError::WrongAction, u"/out"},
      {u"/check a.ini /out \"\"", CommandLineError::MissingValue, u"/out"},
      {u"list.ini", CommandLineError::NoAction, u"list.ini"},
      {u"/exit", CommandLineError::NoAction, u"/exit"},
  };
  for (const Case& c : cases) {
    const LaunchRequest request = ParseCommandLine(c.line);
    EXPECT_EQ(request.error, c.error) << std::string(c.line, c.line + std::char_traits<char16_t>::length(c.line));
    EXPECT_EQ(request.errorArgument, c.argument);
  }
  // A failed line still knows whether someone waits at the screen.
  EXPECT_TRUE(ParseCommandLine(u"/run /mode never /exit").Unattended());
}

TEST(CommandLine, ExitCodeOfARunAndTheInstanceOfAFolder) {
  RunRecord plotted, failed, notStarted;
  plotted.result = RowResult::Plotted;
  failed.result = RowResult::Failed;
  notStarted.result = RowResult::Failed;
  notStarted.reason = FailReason::CouldNotStart;
  EXPECT_EQ(RunExitCode({plotted, plotted}), kExitAllPlotted);
  EXPECT_EQ(RunExitCode({plotted, failed}), kExitSomeNotPlotted);
  EXPECT_EQ(RunExitCode({plotted, notStarted}), kExitSomeNotPlotted);  // AutoCAD went away midway
  EXPECT_EQ(RunExitCode({notStarted}), kExitCouldNotStart);
  EXPECT_EQ(RunExitCode({}), kExitSomeNotPlotted);

  EXPECT_EQ(InstanceMutexName(u"C:\\Plots\\Night"), InstanceMutexName(u"c:\\plots\\NIGHT\\"));
  EXPECT_NE(InstanceMutexName(u"C:\\Plots\\Night"), InstanceMutexName(u"C:\\Plots\\Day"));
  EXPECT_EQ(InstanceMutexName(std::u16string(259, u'x')).find(u'\\', 7), std::u16string::npos);
}
