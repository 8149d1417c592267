#pragma once

#include "defines.hpp"
#include "io/outputstream.hpp"
#include "utils/stringbuilder.hpp"

#include <memory>
#include <ostream>
#include <string>
#include <type_traits>

namespace Vorn
{
	enum class eLogLevel
	{
		DEBUG,
		INFO,
		WARNING,
		ERROR,
		_COUNT
	};

	const char* GetLogLevelName(eLogLevel level);

	namespace Impl
	{
		// Text of one log argument: strings as they are, integers in decimal, floats with 6 decimals.
		inline void AppendLogArg(std::string& out, const String& value) { out = value.GetStdString(); }
		inline void AppendLogArg(std::string& out, const char* value) { out = value ? value : "(null)"; }
		inline void AppendLogArg(std::string& out, const std::string& value) { out = value; }
		inline void AppendLogArg(std::string& out, char value) { out.assign(1, value); }
		inline void AppendLogArg(std::string& out, bool value) { out = value ? "true" : "false"; }
		void AppendLogArg(std::string& out, double value);

		template <typename T>
		std::enable_if_t<std::is_integral_v<T> || std::is_enum_v<T>> AppendLogArg(std::string& out, T value)
		{
			if constexpr (std::is_enum_v<T>)
				out = std::to_string(static_cast<std::underlying_type_t<T>>(value));
			else
				out = std::to_string(value);
		}

		template <typename T>
		std::enable_if_t<std::is_floating_point_v<T>> AppendLogArg(std::string& out, T value)
		{
			AppendLogArg(out, static_cast<double>(value));
		}

		// Fills the "{}" markers of the builder left to right; surplus arguments are dropped
		// and markers left without an argument stay as they are.
		template <typename... Args>
		void SubstituteLogArgs(StringBuilder& builder, const Args&... args)
		{
			std::size_t position = 0;
			std::string text;
			auto substitute = [&](const auto& value)
			{
				if (position == std::string::npos)
					return;
				position = builder.FindPlaceholder(position);
				if (position == std::string::npos)
					return;
				AppendLogArg(text, value);
				position = builder.ReplacePlaceholder(position, text);
			};
			(substitute(args), ...);
			(void)substitute; // unused when there are no arguments
		}
	} // namespace Impl

	// The process-wide log. Lines go to one output stream, which the launcher replaces
	// to write both to standard output and to a file.
	class Console
	{
	public:
		Console();
		~Console();
		Console(const Console&) = delete;
		Console& operator=(const Console&) = delete;

		// Takes ownership; the previous stream is told OnUnregister() and destroyed.
		void RegisterStream(std::unique_ptr<OutputStream> stream);
		OutputStream* GetOutputStream() const { return Stream.get(); }
		// Standard stream over the current output stream, for code that wants operator<<.
		std::ostream& GetStdStream() { return *StdStream; }

		template <typename... Args>
		void Log(eLogLevel level, const char* format, const Args&... args)
		{
			static StringBuilder builder;
			builder.Append("[").Append(GetLogLevelName(level)).Append("] ").AppendFormat(format);
			Impl::SubstituteLogArgs(builder, args...);
			builder.Append('\n');
			WriteLine(builder);
			builder.Clear();
		}

		template <typename... Args>
		void LogDebug(const char* format, const Args&... args)
		{
			Log(eLogLevel::DEBUG, format, args...);
		}
		template <typename... Args>
		void LogInfo(const char* format, const Args&... args)
		{
			Log(eLogLevel::INFO, format, args...);
		}
		template <typename... Args>
		void LogWarning(const char* format, const Args&... args)
		{
			Log(eLogLevel::WARNING, format, args...);
		}
		template <typename... Args>
		void LogError(const char* format, const Args&... args)
		{
			Log(eLogLevel::ERROR, format, args...);
		}

	private:
		void WriteLine(const StringBuilder& line);

		std::unique_ptr<OutputStream> Stream;
		std::unique_ptr<std::streambuf> StreamBuffer;
		std::unique_ptr<std::ostream> StdStream;
	};

	extern Console gConsole;
} // namespace Vorn
