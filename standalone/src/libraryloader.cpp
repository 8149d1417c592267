#include "libraryloader.hpp"

#include "io/regularfile.hpp"
#include "utils/console.hpp"

#include <cstring>
#include <string>

#include <dlfcn.h>
#include <elf.h>

namespace Vorn
{
	namespace
	{
		// No plug-in comes near this; a larger "library" is refused unread.
		constexpr std::size_t MAX_LIBRARY_FILE_BYTES = 1024ull * 1024 * 1024;

		// The error code of a failed load is dlerror()'s text: the loader keeps no numeric code, and its text
		// names both the file and the reason.
		String TakeLoaderError()
		{
			const char* error = dlerror();
			return error ? String(error) : String("unknown loader error");
		}

		// The loader maps a shared object's segments straight from the file and faults (SIGBUS) on pages past its end,
		// so a cut-short file must be refused before dlopen sees it. Empty when the file looks whole.
		template <typename Header, typename ProgramHeader>
		String FindElfFault(const std::string& file)
		{
			if (file.size() < sizeof(Header))
				return "truncated ELF file: the header is cut short";
			Header header;
			std::memcpy(&header, file.data(), sizeof(header));
			if (header.e_type != ET_DYN)
				return "not an ELF shared object";
			if (header.e_phentsize != sizeof(ProgramHeader) || header.e_phnum == 0)
				return "malformed ELF file: no usable program headers";
			const unsigned long long tableEnd = static_cast<unsigned long long>(header.e_phoff) +
			                                    static_cast<unsigned long long>(header.e_phnum) * sizeof(ProgramHeader);
			if (tableEnd > file.size())
				return "truncated ELF file: the program headers lie past its end";
			for (unsigned int index = 0; index < header.e_phnum; ++index)
			{
				ProgramHeader segment;
				std::memcpy(&segment, file.data() + header.e_phoff + index * sizeof(ProgramHeader), sizeof(segment));
				if (segment.p_type != PT_LOAD)
					continue;
				const unsigned long long segmentEnd = static_cast<unsigned long long>(segment.p_offset) +
				                                      static_cast<unsigned long long>(segment.p_filesz);
				if (segment.p_offset > file.size() || segmentEnd > file.size())
					return "truncated ELF file: a loadable segment lies past its end (" +
					       String(std::to_string(file.size())) + " bytes in the file)";
			}
			return String();
		}

		// Empty when `path` names a regular file holding a complete ELF shared object, else why it does not.
		String CheckSharedObjectFile(const String& path)
		{
			// A bare name is looked up on the loader's search path, not in the working folder.
			if (!path.Contains("/"))
				return String();
			std::string file;
			const RegularFileResult read = ReadRegularFile(path, MAX_LIBRARY_FILE_BYTES, file);
			// A missing file is left to the loader, whose message also names the folders it searched.
			if (read.Status == eRegularFileStatus::MISSING)
				return String();
			if (!read.IsOk())
				return read.Problem;
			if (file.size() < EI_NIDENT || std::memcmp(file.data(), ELFMAG, SELFMAG) != 0)
				return "not an ELF file";
			if (file[EI_CLASS] == ELFCLASS64)
				return FindElfFault<Elf64_Ehdr, Elf64_Phdr>(file);
			if (file[EI_CLASS] == ELFCLASS32)
				return FindElfFault<Elf32_Ehdr, Elf32_Phdr>(file);
			return "not an ELF file of a known class";
		}
	} // namespace

	LibraryFunction LoadLibraryFunction(const String& path, const String& name)
	{
		LibraryFunction result;
		dlerror();

		// dlopen("") hands back the launcher itself, so an empty path is refused before the loader sees it.
		const String fileFault = path.IsEmpty() ? String("empty library path") : CheckSharedObjectFile(path);
		void* handle = fileFault.IsEmpty() ? dlopen(path.GetCStr(), RTLD_NOW | RTLD_LOCAL) : nullptr;
		if (!handle)
		{
			const String errorCode = fileFault.IsEmpty() ? TakeLoaderError() : fileFault;
			gConsole.LogError("Shared library [{}] load failed. Error code: {}", path, errorCode);
			return result;
		}

		dlerror();
		void* function = dlsym(handle, name.GetCStr());
		const char* symbolError = dlerror();
		if (!function || symbolError)
		{
			const String errorCode = symbolError ? String(symbolError) : String("symbol resolved to null");
			gConsole.LogError("Function [{}] from shared library [{}] load failed. Error code: {}", name, path,
			                  errorCode);
			dlclose(handle);
			return result;
		}

		gConsole.LogError("Function [{}] from shared library [{}] loaded succesfully!", name, path);
		result.LibraryHandle = handle;
		result.Function = function;
		return result;
	}

	void ReleaseLibrary(LibraryFunction& library)
	{
		if (library.LibraryHandle)
			dlclose(library.LibraryHandle);
		library = LibraryFunction();
	}
} // namespace Vorn
