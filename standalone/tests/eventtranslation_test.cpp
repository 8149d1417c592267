#include "eventtranslation.hpp"

#include "ecs/world.hpp"
#include "engine.hpp"
#include "io/outputstream.hpp"
#include "utils/console.hpp"

#include <gtest/gtest.h>

#include <SDL.h>

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

using namespace Vorn;

namespace
{
	namespace fs = std::filesystem;

	class TextCaptureStream : public OutputStream
	{
	public:
		explicit TextCaptureStream(std::string* text) : Text(text) {}
		void Append(const char* text, std::size_t length) override { Text->append(text, length); }

	private:
		std::string* Text;
	};

	class SilentGame : public IGame
	{
	public:
		void RegisterEngine(Engine*) override {}
		void Init() override {}
		void Deinit() override {}
	};

	class ResizeRecordingDevice : public IRenderingDevice
	{
	public:
		explicit ResizeRecordingDevice(std::vector<ScreenSize>* resizes) : Resizes(resizes) {}

		void Resize(ScreenSize const& size) override { Resizes->push_back(size); }
		ScreenSize const& GetScreenSize() const override { return Size; }
		void RenderWorld(World*) override {}
		void Init() override {}
		std::unique_ptr<ITextureDeviceProxy> CreateTexture(std::size_t, std::size_t, std::size_t,
		                                                   eTextureUsageType) override
		{
			return nullptr;
		}
		std::unique_ptr<ICubemapDeviceProxy> CreateCubemap(std::size_t, std::size_t) override { return nullptr; }
		std::unique_ptr<ITextFieldBufferDeviceProxy> CreateTextFieldBuffer() override { return nullptr; }
		std::unique_ptr<IMeshDeviceProxy> CreateMesh() override { return nullptr; }
		std::unique_ptr<IParticleDeviceProxy> CreateParticle() override { return nullptr; }

	private:
		std::vector<ScreenSize>* Resizes;
		ScreenSize Size = {1280, 720};
	};

	// An initialised engine in a throw-away working folder (the engine writes its configuration files there), with
	// the console captured and SDL's video and controller subsystems running.
	class EventTranslationTest : public testing::Test
	{
	protected:
		void SetUp() override
		{
			std::string pattern = (fs::temp_directory_path() / "vorneventtranslation-XXXXXX").string();
			Root = mkdtemp(pattern.data());
			fs::create_directories(Root / "run");
			PreviousFolder = fs::current_path();
			fs::current_path(Root / "run");

			ASSERT_EQ(SDL_Init(SDL_INIT_VIDEO | SDL_INIT_GAMECONTROLLER), 0) << SDL_GetError();
			gConsole.RegisterStream(std::make_unique<TextCaptureStream>(&Log));

			TestEngine.reset(new Engine());
			TestEngine->Init(std::make_unique<SilentGame>(), std::make_unique<ResizeRecordingDevice>(&Resizes));
			State.Size = {1280, 720};
		}

		void TearDown() override
		{
			TestEngine.reset();
			gConsole.RegisterStream(std::make_unique<StdOutStream>());
			SDL_Quit();
			fs::current_path(PreviousFolder);
			std::error_code ignored;
			fs::remove_all(Root, ignored);
		}

		void Translate(const SDL_Event& event) { TranslateEvent(event, TestEngine.get(), State); }

		std::vector<InputEvent> TakeQueuedEvents()
		{
			std::vector<InputEvent> events;
			Queue<InputEvent>& queue = TestEngine->GetInputQueue();
			while (!queue.IsEmpty())
			{
				events.push_back(queue.Front());
				queue.PopFront();
			}
			return events;
		}

		static SDL_Event WindowEvent(Uint8 code, Sint32 data1 = 0, Sint32 data2 = 0)
		{
			SDL_Event event = {};
			event.type = SDL_WINDOWEVENT;
			event.window.event = code;
			event.window.data1 = data1;
			event.window.data2 = data2;
			return event;
		}

		fs::path Root;
		fs::path PreviousFolder;
		std::string Log;
		std::vector<ScreenSize> Resizes;
		std::unique_ptr<Engine> TestEngine;
		LauncherState State;
	};

	struct InputCase
	{
		const char* Name;
		SDL_Event Event;
		std::vector<InputEvent> Expected;
	};

	SDL_Event KeyEvent(Uint32 type, SDL_Scancode scancode, Uint8 repeat = 0)
	{
		SDL_Event event = {};
		event.type = type;
		event.key.keysym.scancode = scancode;
		event.key.repeat = repeat;
		return event;
	}

	InputEvent Expect(eInputEventType type, const std::function<void(InputEvent&)>& fill = nullptr)
	{
		InputEvent event(type);
		if (fill)
			fill(event);
		return event;
	}

	std::vector<InputCase> MakeInputCases()
	{
		std::vector<InputCase> cases;
		cases.push_back({"KeyDown",
		                 KeyEvent(SDL_KEYDOWN, SDL_SCANCODE_W),
		                 {Expect(eInputEventType::KEYDOWN, [](InputEvent& e) { e.Key = eKey::W; })}});
		cases.push_back({"KeyRepeatIsForwarded",
		                 KeyEvent(SDL_KEYDOWN, SDL_SCANCODE_D, 1),
		                 {Expect(eInputEventType::KEYDOWN, [](InputEvent& e) { e.Key = eKey::D; })}});
		cases.push_back({"KeyUp",
		                 KeyEvent(SDL_KEYUP, SDL_SCANCODE_ESCAPE),
		                 {Expect(eInputEventType::KEYUP, [](InputEvent& e) { e.Key = eKey::ESCAPE; })}});

		SDL_Event motion = {};
		motion.type = SDL_MOUSEMOTION;
		motion.motion.xrel = 3;
		motion.motion.yrel = -2;
		motion.motion.x = 100;
		motion.motion.y = 50;
		cases.push_back({"MouseMotionGivesRelativeMoveThenPosition",
		                 motion,
		                 {Expect(eInputEventType::MOUSEMOVE, [](InputEvent& e) { e.Pos = Vector2i(3, -2); }),
		                  Expect(eInputEventType::MOUSEPOS, [](InputEvent& e) { e.Pos = Vector2i(100, 50); })}});

		SDL_Event buttonDown = {};
		buttonDown.type = SDL_MOUSEBUTTONDOWN;
		buttonDown.button.button = SDL_BUTTON_RIGHT;
		cases.push_back(
		    {"MouseButtonDown",
		     buttonDown,
		     {Expect(eInputEventType::MOUSEBUTTONDOWN, [](InputEvent& e) { e.MouseButton = eMouseButton::RIGHT; })}});

		SDL_Event buttonUp = {};
		buttonUp.type = SDL_MOUSEBUTTONUP;
		buttonUp.button.button = SDL_BUTTON_X2;
		cases.push_back(
		    {"MouseButtonUp",
		     buttonUp,
		     {Expect(eInputEventType::MOUSEBUTTONUP, [](InputEvent& e) { e.MouseButton = eMouseButton::X2; })}});

		SDL_Event wheel = {};
		wheel.type = SDL_MOUSEWHEEL;
		wheel.wheel.x = 1;
		wheel.wheel.y = -2;
		cases.push_back({"MouseWheelGivesItsAmounts",
		                 wheel,
		                 {Expect(eInputEventType::WHEELMOVE, [](InputEvent& e) { e.Pos = Vector2i(1, -2); })}});

		SDL_Event axis = {};
		axis.type = SDL_CONTROLLERAXISMOTION;
		axis.caxis.which = 7;
		axis.caxis.axis = SDL_CONTROLLER_AXIS_LEFTY;
		axis.caxis.value = -32768;
		cases.push_back({"ControllerAxisPassesTheRawValue",
		                 axis,
		                 {Expect(eInputEventType::CONTROLLERAXIS,
		                         [](InputEvent& e)
		                         {
			                         e.ControllerID = 7;
			                         e.ControllerAxis = eControllerAxis::LEFTY;
			                         e.AxisValue = static_cast<float>(-32768 / 35768.0);
		                         })}});

		SDL_Event negativeInstance = axis;
		negativeInstance.caxis.which = -1;
		negativeInstance.caxis.axis = SDL_CONTROLLER_AXIS_TRIGGERRIGHT;
		negativeInstance.caxis.value = 32767;
		cases.push_back({"ControllerInstanceIDIsWidenedWithSign",
		                 negativeInstance,
		                 {Expect(eInputEventType::CONTROLLERAXIS,
		                         [](InputEvent& e)
		                         {
			                         e.ControllerID = ~u64(0);
			                         e.ControllerAxis = eControllerAxis::TRIGGERRIGHT;
			                         e.AxisValue = static_cast<float>(32767 / 35768.0);
		                         })}});

		SDL_Event controllerDown = {};
		controllerDown.type = SDL_CONTROLLERBUTTONDOWN;
		controllerDown.cbutton.which = 2;
		controllerDown.cbutton.button = SDL_CONTROLLER_BUTTON_DPAD_UP;
		cases.push_back({"ControllerButtonDown",
		                 controllerDown,
		                 {Expect(eInputEventType::CONTROLLERBUTTONDOWN,
		                         [](InputEvent& e)
		                         {
			                         e.ControllerID = 2;
			                         e.ControllerButton = eControllerButton::DPAD_UP;
		                         })}});

		SDL_Event controllerUp = controllerDown;
		controllerUp.type = SDL_CONTROLLERBUTTONUP;
		controllerUp.cbutton.button = SDL_CONTROLLER_BUTTON_START;
		cases.push_back({"ControllerButtonUp",
		                 controllerUp,
		                 {Expect(eInputEventType::CONTROLLERBUTTONUP,
		                         [](InputEvent& e)
		                         {
			                         e.ControllerID = 2;
			                         e.ControllerButton = eControllerButton::START;
		                         })}});

		SDL_Event textInput = {};
		textInput.type = SDL_TEXTINPUT;
		cases.push_back({"OtherEventsAreIgnored", textInput, {}});
		return cases;
	}

	TEST_F(EventTranslationTest, InputEventsAreQueuedWithTheirFields)
	{
		for (const InputCase& inputCase : MakeInputCases())
		{
			SCOPED_TRACE(inputCase.Name);
			Translate(inputCase.Event);

			const std::vector<InputEvent> queued = TakeQueuedEvents();
			ASSERT_EQ(queued.size(), inputCase.Expected.size());
			for (std::size_t i = 0; i < queued.size(); ++i)
			{
				const InputEvent& actual = queued[i];
				const InputEvent& expected = inputCase.Expected[i];
				EXPECT_EQ(actual.Type, expected.Type);
				EXPECT_EQ(actual.Key, expected.Key);
				EXPECT_EQ(actual.MouseButton, expected.MouseButton);
				EXPECT_EQ(actual.Pos, expected.Pos);
				EXPECT_EQ(actual.ControllerID, expected.ControllerID);
				EXPECT_EQ(actual.ControllerButton, expected.ControllerButton);
				EXPECT_EQ(actual.ControllerAxis, expected.ControllerAxis);
				EXPECT_FLOAT_EQ(actual.AxisValue, expected.AxisValue);
			}
			EXPECT_FALSE(State.QuitRequested);
		}
	}

	TEST_F(EventTranslationTest, QuitEventSetsTheQuitFlagAndQueuesNothing)
	{
		SDL_Event quit = {};
		quit.type = SDL_QUIT;

		Translate(quit);

		EXPECT_TRUE(State.QuitRequested);
		EXPECT_TRUE(TakeQueuedEvents().empty());
	}

	TEST_F(EventTranslationTest, BothSizeEventsResizeTheEngineAndStoreTheSize)
	{
		Translate(WindowEvent(SDL_WINDOWEVENT_RESIZED, 800, 600));
		Translate(WindowEvent(SDL_WINDOWEVENT_SIZE_CHANGED, 640, 480));

		ASSERT_EQ(Resizes.size(), 2u);
		EXPECT_EQ(Resizes[0].Width, 800);
		EXPECT_EQ(Resizes[0].Height, 600);
		EXPECT_EQ(Resizes[1].Width, 640);
		EXPECT_EQ(Resizes[1].Height, 480);
		EXPECT_EQ(State.Size.Width, 640);
		EXPECT_EQ(State.Size.Height, 480);
		EXPECT_NE(Log.find("[DEBUG] Screen resize: 800 600\n"), std::string::npos) << Log;
	}

	TEST_F(EventTranslationTest, UnhandledWindowEventsAreLoggedByName)
	{
		struct WindowCase
		{
			Uint8 Code;
			const char* LoggedName; // null when the event is handled and not logged
		};
		const WindowCase cases[] = {
		    {SDL_WINDOWEVENT_SHOWN, "SDL_WINDOWEVENT_SHOWN"},
		    {SDL_WINDOWEVENT_MAXIMIZED, "SDL_WINDOWEVENT_MAXIMIZED"},
		    {SDL_WINDOWEVENT_CLOSE, "SDL_WINDOWEVENT_CLOSE"},
		    {SDL_WINDOWEVENT_HIT_TEST, "SDL_WINDOWEVENT_HIT_TEST"},
		    {0, "<invalid>"},
		    {17, "<invalid>"},
		    {SDL_WINDOWEVENT_ENTER, nullptr},
		    {SDL_WINDOWEVENT_LEAVE, nullptr},
		    {SDL_WINDOWEVENT_FOCUS_GAINED, nullptr},
		    {SDL_WINDOWEVENT_FOCUS_LOST, nullptr},
		};
		for (const WindowCase& windowCase : cases)
		{
			SCOPED_TRACE(static_cast<int>(windowCase.Code));
			Log.clear();

			Translate(WindowEvent(windowCase.Code));

			if (windowCase.LoggedName)
				EXPECT_EQ(Log,
				          std::string("[DEBUG] Not handled SDL window event, code: ") + windowCase.LoggedName + "\n");
			else
				EXPECT_EQ(Log, "");
			EXPECT_TRUE(Resizes.empty());
			EXPECT_TRUE(TakeQueuedEvents().empty());
		}
	}

	TEST_F(EventTranslationTest, ControllerIsAddedAndRemovedByItsInstanceID)
	{
		const int deviceIndex = SDL_JoystickAttachVirtual(SDL_JOYSTICK_TYPE_GAMECONTROLLER, SDL_CONTROLLER_AXIS_MAX,
		                                                  SDL_CONTROLLER_BUTTON_MAX, 0);
		ASSERT_GE(deviceIndex, 0) << SDL_GetError();
		const SDL_JoystickID instanceID = SDL_JoystickGetDeviceInstanceID(deviceIndex);

		SDL_Event added = {};
		added.type = SDL_CONTROLLERDEVICEADDED;
		added.cdevice.which = deviceIndex;
		Translate(added);

		std::vector<InputEvent> queued = TakeQueuedEvents();
		ASSERT_EQ(queued.size(), 1u) << Log;
		EXPECT_EQ(queued[0].Type, eInputEventType::CONTROLLERADDED);
		EXPECT_EQ(queued[0].ControllerID, static_cast<u64>(instanceID));
		EXPECT_NE(SDL_GameControllerFromInstanceID(instanceID), nullptr);

		SDL_Event removed = {};
		removed.type = SDL_CONTROLLERDEVICEREMOVED;
		removed.cdevice.which = instanceID;
		Translate(removed);

		queued = TakeQueuedEvents();
		ASSERT_EQ(queued.size(), 1u);
		EXPECT_EQ(queued[0].Type, eInputEventType::CONTROLLERREMOVED);
		EXPECT_EQ(queued[0].ControllerID, static_cast<u64>(instanceID));
		EXPECT_EQ(SDL_GameControllerFromInstanceID(instanceID), nullptr);
		SDL_JoystickDetachVirtual(deviceIndex);
	}

	TEST_F(EventTranslationTest, ClickAppliesTheEngineMouseFlagsAndWindowCrossingReleasesThem)
	{
		SDL_Window* window = SDL_CreateWindow("EventTranslationTest", 0, 0, 64, 64, SDL_WINDOW_HIDDEN);
		ASSERT_NE(window, nullptr) << SDL_GetError();
		TestEngine->SetMouseVisible(false);

		SDL_Event click = {};
		click.type = SDL_MOUSEBUTTONDOWN;
		click.button.button = SDL_BUTTON_LEFT;
		Translate(click);
		EXPECT_EQ(SDL_ShowCursor(SDL_QUERY), SDL_DISABLE);

		Translate(WindowEvent(SDL_WINDOWEVENT_FOCUS_LOST));
		EXPECT_EQ(SDL_ShowCursor(SDL_QUERY), SDL_ENABLE);
		EXPECT_EQ(SDL_GetRelativeMouseMode(), SDL_FALSE);
		SDL_DestroyWindow(window);
	}
} // namespace
