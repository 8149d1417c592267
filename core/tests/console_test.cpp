#include "io/fileoutputstream.hpp"
#include "utils/console.hpp"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

using namespace Vorn;

namespace
{
	struct CaptureLog
	{
		std::string Text;
		int Flushes = 0;
		int Unregisters = 0;
	};

	class CaptureStream : public OutputStream
	{
	public:
		explicit CaptureStream(CaptureLog* log) : Log(log) {}
		void Append(const char* text, std::size_t length) override { Log->Text.append(text, length); }
		void Flush() override { ++Log->Flushes; }
		void OnUnregister() override { ++Log->Unregisters; }

	private:
		CaptureLog* Log;
	};

	// Routes gConsole into a capture for one test and puts standard output back afterwards.
	class ConsoleTest : public ::testing::Test
	{
	protected:
		void SetUp() override { gConsole.RegisterStream(std::make_unique<CaptureStream>(&Captured)); }
		void TearDown() override { gConsole.RegisterStream(std::make_unique<StdOutStream>()); }

		CaptureLog Captured;
		CaptureLog SecondCapture; // outlives the test body: TearDown still talks to the installed stream
	};
} // namespace

TEST_F(ConsoleTest, FormatsLinesWithLevelAndArguments)
{
	struct Case
	{
		const char* Name;
		void (*Log)();
		const char* Expected;
	};
	const Case cases[] = {
		{"string and C string", [] { gConsole.LogInfo("{} {}", String("a"), "b"); }, "[INFO] a b\n"},
		{"integers in decimal", [] { gConsole.LogDebug("{},{},{}", 42, -7, u64{1} << 40); },
		 "[DEBUG] 42,-7,1099511627776\n"},
		{"floats with six decimals", [] { gConsole.LogWarning("{} {}", 1.5f, -0.25); },
		 "[WARNING] 1.500000 -0.250000\n"},
		{"leftover braces stay", [] { gConsole.LogError("a {} b {}", 1); }, "[ERROR] a 1 b {}\n"},
		{"surplus arguments dropped", [] { gConsole.LogInfo("none", 1, "x"); }, "[INFO] none\n"},
		{"inserted text is not rescanned", [] { gConsole.LogInfo("{} {}", "{}", 5); }, "[INFO] {} 5\n"},
		{"no arguments", [] { gConsole.LogInfo("plain {}"); }, "[INFO] plain {}\n"},
		{"explicit level", [] { gConsole.Log(eLogLevel::ERROR, "x{}", true); }, "[ERROR] xtrue\n"},
	};
	for (const Case& c : cases)
	{
		Captured.Text.clear();
		c.Log();
		EXPECT_EQ(Captured.Text, c.Expected) << c.Name;
	}
}

TEST_F(ConsoleTest, EveryLineIsFlushed)
{
	gConsole.LogInfo("one");
	gConsole.LogInfo("two");
	EXPECT_EQ(Captured.Flushes, 2);
}

TEST_F(ConsoleTest, ReplacedStreamIsToldBeforeItGoes)
{
	CaptureLog& second = SecondCapture;
	gConsole.RegisterStream(std::make_unique<CaptureStream>(&second));
	EXPECT_EQ(Captured.Unregisters, 1);
	gConsole.LogInfo("to the second");
	EXPECT_TRUE(Captured.Text.empty());
	EXPECT_EQ(second.Text, "[INFO] to the second\n");
	gConsole.GetStdStream() << "raw " << 3 << std::flush;
	EXPECT_EQ(second.Text, "[INFO] to the second\nraw 3");
}

TEST(FileOutputStreamTest, WritesAppendedTextAndReportsBadPaths)
{
	const char* path = "fileoutputstream_test.txt";
	{
		FileOutputStream stream(path);
		stream.Append("abc", 3);
		stream.Append("de", 2);
		std::ifstream written(path);
		std::stringstream content;
		content << written.rdbuf();
		EXPECT_EQ(content.str(), "abcde") << "each append reaches the file at once";
	}
	std::remove(path);
	EXPECT_THROW(FileOutputStream("no/such/dir/file.txt"), FileIOException);
}
