#pragma once

#include <cstddef>

namespace corv {

// The frame view's zoom steps: up adds 1 below 6, 2 from 6 to 9 and 10 from 10 on, stopping at
// 100; down subtracts 1 up to 10 and 10 above, never below 1.
int ZoomUp(int zoom);
int ZoomDown(int zoom);
// "Image center": the zoom at which the frame fits the client area less 50 pixels each way,
// at least 1.
int FitZoom(int clientWidth, int clientHeight, int frameWidth, int frameHeight, int gridScaleX, int gridScaleY);
// The playback period in milliseconds for a speed field value: the speed is kept to 10..80
// frames per second.
int PlayInterval(int speed);
// A clip plays only with two frames or more.
inline bool CanPlay(std::size_t frameCount) { return frameCount >= 2; }
// The speed field takes a value only inside 10..80 (others are ignored).
inline bool SpeedAccepted(int speed) { return speed >= 10 && speed <= 80; }

}  // namespace corv
