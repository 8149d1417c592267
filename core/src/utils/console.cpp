#include "utils/console.hpp"

#include "utils/check.hpp"

#include <algorithm>
#include <cstdio>
#include <streambuf>

namespace Vorn
{
	Console gConsole;

	namespace
	{
		// Unbuffered adapter: every write goes straight to the output stream.
		class OutputStreamBuffer : public std::streambuf
		{
		public:
			explicit OutputStreamBuffer(OutputStream* target) : Target(target) {}

		protected:
			std::streamsize xsputn(const char* text, std::streamsize count) override
			{
				Target->Append(text, static_cast<std::size_t>(count));
				return count;
			}
			int_type overflow(int_type character) override
			{
				if (!traits_type::eq_int_type(character, traits_type::eof()))
				{
					const char value = traits_type::to_char_type(character);
					Target->Append(&value, 1);
				}
				return traits_type::not_eof(character);
			}
			int sync() override
			{
				Target->Flush();
				return 0;
			}

		private:
			OutputStream* Target;
		};
	} // namespace

	const char* GetLogLevelName(eLogLevel level)
	{
		static const char* const names[] = {"DEBUG", "INFO", "WARNING", "ERROR"};
		const auto index = static_cast<std::size_t>(level);
		VORN_CHECK(index < static_cast<std::size_t>(eLogLevel::_COUNT), "Index out of bounds!");
		return names[index];
	}

	void Impl::AppendLogArg(std::string& out, double value)
	{
		char buffer[512];
		const int written = std::snprintf(buffer, sizeof(buffer), "%.6f", value);
		out.assign(buffer,
		           written > 0 ? std::min<std::size_t>(static_cast<std::size_t>(written), sizeof(buffer) - 1) : 0);
	}

	Console::Console() { RegisterStream(std::make_unique<StdOutStream>()); }

	Console::~Console()
	{
		if (Stream)
			Stream->OnUnregister();
		StdStream.reset();
		StreamBuffer.reset();
		Stream.reset();
	}

	void Console::RegisterStream(std::unique_ptr<OutputStream> stream)
	{
		VORN_CHECK(stream != nullptr, "Console needs an output stream!");
		if (Stream)
			Stream->OnUnregister();
		// The standard stream points into the old buffer; replace it before the buffer goes.
		auto newBuffer = std::make_unique<OutputStreamBuffer>(stream.get());
		auto newStdStream = std::make_unique<std::ostream>(newBuffer.get());
		StdStream = std::move(newStdStream);
		StreamBuffer = std::move(newBuffer);
		Stream = std::move(stream);
	}

	void Console::WriteLine(const StringBuilder& line)
	{
		StdStream->write(line.GetCStr(), static_cast<std::streamsize>(line.GetLength()));
		StdStream->flush();
	}
} // namespace Vorn
