#include "desktop/sound_output.h"

#include <QActionGroup>
#include <QAudioDevice>
#include <QAudioFormat>
#include <QAudioSink>
#include <QFile>
#include <QMediaDevices>
#include <QMenu>
#include <algorithm>
#include <cstdio>
#include <span>
#include <string>

#include "desktop/court_window.h"
#include "desktop/desktop_platform.h"
#include "desktop/settings.h"
#include "sound/wav.h"

namespace tandemhoop {

namespace {

// How often the device's buffer is topped up, and how much it holds: about two classic ticks
// or seven fast ones ahead, enough to ride out a busy frame without making a cue feel late.
constexpr int kFeedMilliseconds = 10;
constexpr qsizetype kBufferBytes = kMixRate / 1000 * 110 * 2;

constexpr int kVolumes[] = {25, 50, 75, 100};

// Qt's sound back end reports a missing server in its own words as well; the player is told
// once, in ours.
QtMessageHandler previousHandler = nullptr;
void QuietAboutTheServer(QtMsgType type, const QMessageLogContext& context, const QString& text) {
  if (text.startsWith(QLatin1String("PulseAudioService:"))) return;
  if (previousHandler != nullptr) {
    previousHandler(type, context, text);
  } else {
    std::fprintf(stderr, "%s\n", qPrintable(qFormatLogMessage(type, context, text)));
  }
}

}  // namespace

SoundOutput::SoundOutput(QObject* parent) : QObject(parent) {
  for (int k = 0; k < kSoundCount; ++k) {
    const std::string_view name = SoundFileName(static_cast<Sound>(k));
    const QString path = QStringLiteral(":/sounds/") +
                         QLatin1String(name.data(), static_cast<qsizetype>(name.size()));
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) continue;  // built without its sounds: that one is silent
    const QByteArray bytes = file.readAll();
    std::string error;
    auto decoded = DecodeWav(std::span(reinterpret_cast<const std::uint8_t*>(bytes.constData()),
                                       static_cast<std::size_t>(bytes.size())),
                             &error);
    if (!decoded) {
      std::fprintf(stderr, "Tandemhoop: the sound %s cannot be used: %s\n", qPrintable(path),
                   error.c_str());
      continue;
    }
    samples_[static_cast<std::size_t>(k)] = std::move(*decoded);
    mixer_.SetSamples(static_cast<Sound>(k), samples_[static_cast<std::size_t>(k)]);
  }
  enabled_ = Settings::Value(kEnabledKey, true).toBool();
  bool ok = false;
  const int volume = Settings::Value(kVolumeKey, 100).toInt(&ok);
  mixer_.SetVolume(ok ? volume : 100);

  feed_.setTimerType(Qt::PreciseTimer);
  feed_.setInterval(kFeedMilliseconds);
  connect(&feed_, &QTimer::timeout, this, [this] { Feed(); });
}

SoundOutput::~SoundOutput() {
  feed_.stop();
  if (sink_) sink_->stop();
}

void SoundOutput::Start() {
  if (sink_) return;
  previousHandler = qInstallMessageHandler(QuietAboutTheServer);
  const QAudioDevice device = QMediaDevices::defaultAudioOutput();
  qInstallMessageHandler(previousHandler);
  if (device.isNull()) {
    GiveUp("there is no sound device");
    return;
  }
  QAudioFormat format;
  format.setSampleRate(kMixRate);
  format.setChannelCount(1);
  format.setSampleFormat(QAudioFormat::Int16);
  if (!device.isFormatSupported(format)) {
    GiveUp("the sound device does not take 48 kHz 16-bit sound");
    return;
  }
  sink_ = std::make_unique<QAudioSink>(device, format);
  sink_->setBufferSize(kBufferBytes);
  device_ = sink_->start();
  if (device_ == nullptr || sink_->error() != QAudio::NoError) {
    device_ = nullptr;
    sink_.reset();
    GiveUp("the sound device could not be opened");
    return;
  }
  Feed();
  feed_.start();
}

void SoundOutput::GiveUp(const char* why) {
  std::fprintf(stderr, "Tandemhoop: %s; the game plays without sound.\n", why);
}

void SoundOutput::Feed() {
  if (device_ == nullptr || !sink_) return;
  if (sink_->error() != QAudio::NoError && sink_->error() != QAudio::UnderrunError) {
    // The server went away: stop feeding, once and quietly but for the one line.
    feed_.stop();
    device_ = nullptr;
    GiveUp("the sound device stopped");
    return;
  }
  const qsizetype samples = sink_->bytesFree() / 2;
  if (samples <= 0) return;
  buffer_.resize(static_cast<std::size_t>(samples));
  mixer_.Render(buffer_.data(), buffer_.size());
  device_->write(reinterpret_cast<const char*>(buffer_.data()), samples * 2);
}

void SoundOutput::Play(Sound sound) {
  if (enabled_) mixer_.Play(sound);
}

void SoundOutput::SetEnabled(bool enabled) {
  enabled_ = enabled;
  if (!enabled_) mixer_.StopAll();
  Settings::SetValue(kEnabledKey, enabled_);
}

void SoundOutput::SetVolume(int percent) {
  mixer_.SetVolume(percent);
  Settings::SetValue(kVolumeKey, mixer_.volume());
}

void SoundOutput::AddMenuEntries(QMenu& menu) {
  if (!menu.isEmpty()) menu.addSeparator();
  QAction* toggle = menu.addAction(QStringLiteral("Sound\tF2"));
  toggle->setCheckable(true);
  toggle->setChecked(enabled_);
  connect(toggle, &QAction::toggled, this, [this](bool on) { SetEnabled(on); });

  QMenu* volume = menu.addMenu(QStringLiteral("Volume"));
  auto* group = new QActionGroup(volume);
  for (const int percent : kVolumes) {
    QAction* level = volume->addAction(QStringLiteral("%1 %").arg(percent));
    level->setCheckable(true);
    level->setChecked(mixer_.volume() == percent);
    group->addAction(level);
    connect(level, &QAction::triggered, this, [this, percent] { SetVolume(percent); });
  }
}

void ConnectSound(SoundOutput& sound, DesktopPlatform& platform, CourtWindow& court) {
  platform.SetSoundHandler([&sound](Sound cue) { sound.Play(cue); });
  court.AddKeyHook([&sound](int key, bool autoRepeat) {
    if (key != Qt::Key_F2) return false;
    if (!autoRepeat) sound.Toggle();  // held down, it switches once
    return true;
  });
  court.AddMenuEntries([&sound](QMenu& menu) { sound.AddMenuEntries(menu); });
  sound.Start();
}

}  // namespace tandemhoop
