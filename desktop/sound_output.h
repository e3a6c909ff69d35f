#pragma once

#include <QObject>
#include <QTimer>
#include <array>
#include <cstdint>
#include <memory>
#include <vector>

#include "game/platform.h"
#include "sound/mixer.h"

class QAudioSink;
class QIODevice;
class QMenu;

namespace tandemhoop {

class CourtWindow;
class DesktopPlatform;

// The game's sounds on the desktop's sound device: the core's mixer, fed into a QAudioSink in
// push mode from a timer that keeps the device's buffer topped up a few ticks ahead. Nothing here
// ever waits on the device, so a tick is never held up by sound, and the timer goes on firing
// inside a message box's event loop, so a whistle plays out under its foul box. With no device
// or no sound server the game is silent and says so once on standard error.
class SoundOutput : public QObject {
 public:
  // The remembered choices, under these keys.
  static constexpr const char* kEnabledKey = "sound/enabled";
  static constexpr const char* kVolumeKey = "sound/volume";

  explicit SoundOutput(QObject* parent = nullptr);
  ~SoundOutput() override;

  // Opens the default output device and starts feeding it.
  void Start();
  // A cue from the game: heard if sound is on.
  void Play(Sound sound);

  bool Enabled() const { return enabled_; }
  // Off also silences what is playing; both choices are remembered.
  void SetEnabled(bool enabled);
  void Toggle() { SetEnabled(!enabled_); }
  int Volume() const { return mixer_.volume(); }
  void SetVolume(int percent);

  // The context menu's entries: the switch and the volume.
  void AddMenuEntries(QMenu& menu);

 private:
  void Feed();
  void GiveUp(const char* why);

  Mixer mixer_;
  std::array<std::vector<std::int16_t>, kSoundCount> samples_;
  std::unique_ptr<QAudioSink> sink_;
  QIODevice* device_ = nullptr;
  QTimer feed_;
  std::vector<std::int16_t> buffer_;
  bool enabled_ = true;
};

// Wires the sound into the game: the platform's cues, F2 in the court window, the context
// menu's entries; then starts the output.
void ConnectSound(SoundOutput& sound, DesktopPlatform& platform, CourtWindow& court);

}  // namespace tandemhoop
