#include "utils/console.hpp"

int main()
{
	// The frame loop arrives with the engine runtime; say so instead of pretending to run.
	Vorn::gConsole.LogWarning("VornStandalone: the engine runtime is not part of this build yet");
	return 0;
}
