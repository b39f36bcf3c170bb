// The audio layer: one stereo 16-bit output at a fixed rate, samples decoded whole, streams
// decoded as they play, and a mixer that sums every playing channel with its volume and pan.
//
// Files are ".wav" (through SDL's loader) or Ogg Vorbis, told apart by their contents, and
// converted once to the output rate. Volume (0 to 100) and pan (-100 left to 100 right) are
// linear gains: left = volume / 100 x (1 - pan / 100 for a pan to the right, else 1), and the
// mirror for the right.
//
// Handles are nonzero; 0 means none. A stream's handle is also its channel's handle. A handle
// whose object is gone is simply unknown (inactive), never reused for another object soon.
// Every function here is called from the main thread; the mixer runs on the device's thread
// (or inside audio_mix when there is no device).
#pragma once

#include <cstdint>

constexpr int k_audio_rate = 44100;

// Opens the default output device at `frequency` and starts mixing on its thread, releasing
// whatever an earlier start held. False when no device opens: the layer is then off.
bool audio_init(int frequency);
// Starts the layer without a device: channels advance only through audio_mix.
void audio_init_headless(int frequency);
// Closes the device and releases every sample and stream; the layer is off.
void audio_shutdown();
bool audio_running();

// Mixes the next `frames` frames of every playing channel into `out` (2 x frames values, left
// first), clipped to 16 bits, and advances the channels. Silence while the layer is off.
void audio_mix(int16_t* out, int frames);

// Why the last sample load or stream creation failed ("" after one that succeeded).
const char* audio_last_error();

// Loads a file whole. At most `max_playbacks` channels of it play at once. 0 when refused.
uint32_t audio_sample_load(const char* path, int max_playbacks);
// Stops the sample's channels and frees it.
void audio_sample_free(uint32_t sample);
// A new channel playing the sample once from its start at volume 100, pan 0; 0 when the sample
// is unknown or all its playbacks are busy. The channel is gone when it ends or is stopped.
uint32_t audio_sample_play(uint32_t sample);

// Opens a file as a stream, read and decoded as it plays; it stays stopped until
// audio_stream_play. A looped stream starts again at its end. 0 when refused.
uint32_t audio_stream_create_file(const char* path, bool loop);
// Plays a stream from where it stands; false for an unknown stream.
bool audio_stream_play(uint32_t stream);
void audio_stream_free(uint32_t stream);

// Stops a channel: a sample's channel is gone, a stream stays stopped until freed.
bool audio_channel_stop(uint32_t channel);
// Frequency -1 leaves the rate unchanged; every channel plays at its file's own rate, so any
// other frequency is refused. Volume and pan are clamped to their ranges.
bool audio_channel_set_attributes(uint32_t channel, int frequency, int volume, int pan);
// The output rate, volume and pan of a channel; false (outputs untouched) for an unknown one.
bool audio_channel_get_attributes(uint32_t channel, int* frequency, int* volume, int* pan);
// True while the channel plays: started, not stopped, not at its end.
bool audio_channel_is_active(uint32_t channel);
