#include "fileandcoutstream.hpp"

#include <iostream>

namespace Vorn
{
	FileAndCoutStream::FileAndCoutStream(const String& path) : FileOutputStream(path) {}

	void FileAndCoutStream::Append(const char* text, std::size_t length)
	{
		std::cout.write(text, static_cast<std::streamsize>(length));
		std::cout.flush();
		FileOutputStream::Append(text, length);
	}
} // namespace Vorn
