#include "ConsoleOutput.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <stdexcept>

#include "Exception.h"
#include "StackTrace.h"
#include "StdStreamCapture.h"

namespace {

using CapturedStream = StdStreamCapture;

std::string Written(std::wstring_view text, bool toError = false) {
  CapturedStream stream(toError ? STD_ERROR_HANDLE : STD_OUTPUT_HANDLE);
  WriteConsoleText(text, toError);
  return stream.Take();
}

class TrackedException : public Exception {
 public:
  TrackedException() : Exception("ETracked", L"something broke") {}
};

}  // namespace

TEST(ConsoleOutput_Write, EachCallWritesOneLineEndedByCrLf) {
  EXPECT_EQ(Written(L""), "\r\n");
  EXPECT_EQ(Written(L"abc"), "abc\r\n");
  EXPECT_EQ(Written(L"a\r\nb"), "a\r\nb\r\n");
}

TEST(ConsoleOutput_Write, ZeroCharacterEndsTheLine) {
  EXPECT_EQ(Written(std::wstring_view(L"ab\0cd", 5)), "ab\r\n");
}

TEST(ConsoleOutput_Write, TextIsWrittenInTheOemCodePage) {
  ASSERT_EQ(GetACP(), 1252u);
  ASSERT_EQ(GetOEMCP(), 437u);
  EXPECT_EQ(Written(L"caf\u00e9"), "caf\x82\r\n");
  // Not in the ANSI code page: its default character.
  EXPECT_EQ(Written(L"\u0416"), "?\r\n");
}

TEST(ConsoleOutput_Write, ErrorStreamIsSeparate) {
  CapturedStream out(STD_OUTPUT_HANDLE);
  CapturedStream err(STD_ERROR_HANDLE);
  WriteConsoleText(L"to error", true);
  WriteConsoleText(L"to output", false);
  EXPECT_EQ(err.Take(), "to error\r\n");
  EXPECT_EQ(out.Take(), "to output\r\n");
}

TEST(ConsoleOutput_Write, FailedWriteRaisesInOutError) {
  CapturedStream out(STD_OUTPUT_HANDLE);
  out.BreakPipe();
  EXPECT_THROW(WriteConsoleText(L"lost"), EInOutError);
}

TEST(ConsoleOutput_Report, TracedErrorPrintsReportAndStackOnTheirStreams) {
  StartExceptionTracking(CaptureStack);
  std::string output;
  std::string errors;
  try {
    throw TrackedException();
  } catch (const std::exception& error) {
    CapturedStream out(STD_OUTPUT_HANDLE);
    CapturedStream err(STD_ERROR_HANDLE);
    ReportException(error);
    errors = err.Take();
    output = out.Take();
  }
  StartExceptionTracking(nullptr);
  EXPECT_EQ(output,
            "Execution failed!\r\nException info: ETracked\r\nsomething broke\r\n"
            "Stack trace:\r\n");
  ASSERT_FALSE(errors.empty());
  EXPECT_EQ(errors.substr(errors.size() - 2), "\r\n");
  EXPECT_EQ(errors[0], '[');
}

TEST(ConsoleOutput_Report, StackLinesNameTheFunctionsOfThisProgram) {
  StartExceptionTracking(CaptureStack);
  const TrackedException error;
  StartExceptionTracking(nullptr);
  ASSERT_FALSE(error.Trace().empty());
  bool namesThisTest = false;
  for (const std::wstring& line : DescribeStack(error.Trace())) {
    if (line.find(L"ConsoleOutputTest.cpp") != std::wstring::npos) namesThisTest = true;
  }
  EXPECT_TRUE(namesThisTest);
}

TEST(ConsoleOutput_Report, UntracedErrorStillPrintsTheReportWithoutStack) {
  CapturedStream out(STD_OUTPUT_HANDLE);
  CapturedStream err(STD_ERROR_HANDLE);
  ReportException(std::runtime_error("plain"));
  ReportException(TrackedException());
  EXPECT_EQ(err.Take(), "");
  EXPECT_EQ(out.Take(),
            "Execution failed!\r\nException info: Exception\r\nplain\r\n"
            "Execution failed!\r\nException info: ETracked\r\nsomething broke\r\n");
}
