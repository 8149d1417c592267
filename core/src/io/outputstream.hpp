#pragma once

#include "memory/baseobject.hpp"

#include <cstdio>

namespace Vorn
{
	// Sink of the console's text. The console owns its stream and calls OnUnregister()
	// before letting it go, so a stream can finish its output while it still can.
	class OutputStream : public BaseObject
	{
	public:
		virtual void OnUnregister() {}
		virtual void Append(const char* text, std::size_t length) = 0;
		virtual void Flush() {}
	};

	// The console's stream until someone installs another: standard output.
	class StdOutStream : public OutputStream
	{
	public:
		void Append(const char* text, std::size_t length) override;
		void Flush() override;
	};
} // namespace Vorn
