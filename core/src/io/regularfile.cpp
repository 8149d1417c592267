#include "io/regularfile.hpp"

#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace Vorn
{
	namespace
	{
		RegularFileResult Failure(eRegularFileStatus status, const String& path, const String& what)
		{
			return RegularFileResult{status, path + ": " + what};
		}

		RegularFileResult FailureFromErrno(const String& path, int error)
		{
			const bool isMissing = error == ENOENT || error == ENOTDIR;
			return Failure(isMissing ? eRegularFileStatus::MISSING : eRegularFileStatus::UNREADABLE, path,
			               isMissing ? String("no such file") : String(std::strerror(error)));
		}

		RegularFileResult CheckKind(const String& path, const struct stat& info, std::size_t maxBytes)
		{
			if (!S_ISREG(info.st_mode))
				return Failure(eRegularFileStatus::NOT_REGULAR, path,
				               S_ISDIR(info.st_mode) ? String("is a folder, not a file")
				                                     : String("is not a regular file (a pipe, device or socket)"));
			if (static_cast<unsigned long long>(info.st_size) > maxBytes)
				return Failure(eRegularFileStatus::TOO_LARGE, path,
				               String(std::to_string(info.st_size) + " bytes, more than the " +
				                      std::to_string(maxBytes) + " bytes allowed"));
			return RegularFileResult{};
		}
	} // namespace

	RegularFileResult ReadRegularFile(const String& path, std::size_t maxBytes, std::string& bytes)
	{
		bytes.clear();
		struct stat info = {};
		if (::stat(path.GetCStr(), &info) != 0)
			return FailureFromErrno(path, errno);
		RegularFileResult result = CheckKind(path, info, maxBytes);
		if (!result.IsOk())
			return result;

		// Non-blocking, so a pipe swapped in since the check above cannot stall the open; fstat then checks what was
		// really opened.
		const int file = ::open(path.GetCStr(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
		if (file < 0)
			return FailureFromErrno(path, errno);
		if (::fstat(file, &info) != 0 || !(result = CheckKind(path, info, maxBytes)).IsOk())
		{
			if (result.IsOk())
				result = FailureFromErrno(path, errno);
			::close(file);
			return result;
		}

		std::string content;
		content.reserve(static_cast<std::size_t>(info.st_size));
		char chunk[65536];
		for (;;)
		{
			const ssize_t count = ::read(file, chunk, sizeof(chunk));
			if (count < 0 && errno == EINTR)
				continue;
			if (count < 0)
			{
				result = FailureFromErrno(path, errno);
				break;
			}
			if (count == 0)
				break;
			// The file may have grown since fstat; the limit still holds.
			if (content.size() + static_cast<std::size_t>(count) > maxBytes)
			{
				result = Failure(eRegularFileStatus::TOO_LARGE, path,
				                 String("grew past the " + std::to_string(maxBytes) + " bytes allowed while read"));
				break;
			}
			content.append(chunk, static_cast<std::size_t>(count));
		}
		::close(file);
		if (result.IsOk())
			bytes = std::move(content);
		return result;
	}
} // namespace Vorn
