"""Sound and video under Wine with a sound server of the test's own (scripts/media.ini): a wave
file replaced by a second one plays to its end and the end section runs; a video fills the
window and its end runs the end section; a looping video is stopped by DoClr; a missing video
file stops the script with the device layer's error. Without a sound server the test is skipped."""
import os
import time
import unittest

import e2e
import media_files as mf
import wine_harness
from pixels import Picture, near, wait_for

RED, GREEN = (255, 0, 0), (0, 255, 0)
CAPTION = "KELVADO.INI ERROR!"
WAVE, WAVE_ENDED = (0, 60, 800, 121), (0, 180, 800, 241)
VIDEO_ENDED, STOPPED = (0, 300, 800, 361), (0, 420, 800, 481)
SCREEN = (0, 0, 800, 600)
FRAMES, FPS = 60, 10  # six seconds, red for the first half, green for the second: long enough
# to be seen on a loaded machine, where a screenshot takes a second or more


def is_video(p):
    """Most of the screen is one frame of the video."""
    return max(p.count(SCREEN, near(RED)), p.count(SCREEN, near(GREEN))) > 400000


class Media(unittest.TestCase):
    def test_sound_and_video(self):
        exe = e2e.program("kelvado_media.exe")
        work = os.path.join(e2e.OUT_DIR, "Media")
        try:
            sound = wine_harness.SoundServer(work).__enter__()
        except wine_harness.HarnessError as e:
            e2e.skip(f"no sound server: {e}")
        try:
            with e2e.session_in(work) as wine:
                self.run_steps(wine, sound, exe, work)
        finally:
            sound.close()

    def run_steps(self, wine, sound, exe, work):
        folder = os.path.join(wine.prefix, "drive_c", "media")
        os.makedirs(folder)
        files = {"long.wav": mf.wav(8.0), "short.wav": mf.wav(1.5),
                 "clip.avi": mf.avi(160, 120, FRAMES, FPS,
                                    lambda i: RED if i < FRAMES // 2 else GREEN)}
        for name, data in files.items():
            with open(os.path.join(folder, name), "wb") as f:
                f.write(data)
        proc = wine.run(exe, env=sound.env())
        wid = wine.wait_window("Zam", timeout=120, proc=proc)

        def shot(name, condition, timeout=30):
            return wait_for(wine, os.path.join(work, name + ".png"), condition, timeout)

        # The second sound replaced the first: one stream at most, and the end section runs
        # when the short sound ends, long before the long one would have.
        p = shot("1-wave", lambda p: p.count(WAVE) > 0)
        self.assertGreater(p.count(WAVE), 0)
        started = time.monotonic()
        most = 0
        while time.monotonic() - started < 20:
            most = max(most, sound.streams())
            if p.count(WAVE_ENDED) > 0:
                break
            p = Picture(wine.screenshot(os.path.join(work, "2-wave-ended.png")))
        ended = time.monotonic() - started
        self.assertGreater(p.count(WAVE_ENDED), 0, "the end of the sound runs the end section")
        self.assertLess(ended, 7.0, "the long sound was replaced, not waited for")
        self.assertLessEqual(most, 1, "the first sound was closed")
        if proc.poll() is not None or wine.find_window(CAPTION):
            self.fail("the sound commands failed")

        # A video fills the window; its end runs the end section.
        wine.click(400, 590)
        p = shot("3-video", is_video)
        self.assertTrue(is_video(p), "a frame of the video fills the screen")
        # A frame is not black either: the text counts only once the frame has gone.
        p = shot("4-video-ended", lambda p: p.count(VIDEO_ENDED) > 0 and not is_video(p))
        self.assertFalse(is_video(p), "the video ended")
        self.assertGreater(p.count(VIDEO_ENDED), 0)
        self.assertTrue(p.dark(WAVE_ENDED), "DoClr emptied the list")

        # A looping video plays past its length until DoClr stops it.
        wine.click(410, 590)
        shot("5-loop", is_video)
        time.sleep(FRAMES / FPS + 1.5)
        p = shot("6-still-looping", is_video)
        self.assertTrue(is_video(p), "the video loops")
        wine.click(420, 590)
        p = shot("7-stopped", lambda p: p.count(STOPPED) > 0 and not is_video(p))
        self.assertGreater(p.count(STOPPED), 0)
        time.sleep(1.0)
        p = shot("8-stays-stopped", lambda p: False, 1.0)
        self.assertFalse(is_video(p), "no frame is drawn after DoClr")

        # A missing file: the script error box, and the program ends once it is answered.
        wine.click(430, 590)
        box = wine.wait_window(CAPTION, timeout=60, proc=proc)
        e2e.shot(self, wine, "9-missing")
        wine.key("Return", box)
        self.assertEqual(wine.wait_exit(proc, timeout=60), 0)


if __name__ == "__main__":
    e2e.main()
