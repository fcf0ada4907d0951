"""kelvado-script with real bitmap files: a script shows pictures of both header forms, a button
that a click runs, and plays a sound whose end runs the end section; a file that is no bitmap
is refused. The files are made here, in a folder that becomes HomeDir."""
import os
import subprocess
import sys
import tempfile

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "e2e"))
import media_files as mf  # noqa: E402

SCRIPT = """[START]
SetHomeDir,"{home}"
Bmp,"core8.bmp",0.0,0.0,0.5,0.5
BmpBtn,"PRESSED","info24.bmp",0.5,0.5,1.0,1.0
DoSelBtn
SetEndSection,"SOUND_ENDED"
PlayWave,"beep.wav"
[SOUND_ENDED]
StrL,"ended",0.0,0.9,1.0,1.0,255,255,255,"F",4
DspUpdateWindow
[PRESSED]
Bmp,"text.bmp",0.0,0.0,1.0,1.0
"""

EXPECTED = """[refresh] 2 items
[item] 0,0-320,240 bitmap {home}core8.bmp 16x12
[item] 320,240-640,480 bitmap {home}info24.bmp 16x12 button PRESSED
[media] open waveaudio {home}beep.wav = 1
[media] play 1
[media] mode 1
[media] stop 1
[media] close 1
[refresh] 3 items
[item] 0,0-320,240 bitmap {home}core8.bmp 16x12
[item] 320,240-640,480 bitmap {home}info24.bmp 16x12 button PRESSED
[item] 0,432-640,480 text ended
[box] KELVADO.INI ERROR!: \\n\\n[KELVADO.INI の ｾｸｼｮﾝ名 PRESSED, 12 行目 ｴﾝﾄﾘｰ名 Bmp,"text.bmp",0.0,0.0,1.0,1.0 でｴﾗｰが発生しました]
[end] closed
"""


def main():
    tool = sys.argv[1]
    with tempfile.TemporaryDirectory() as folder:
        home = folder + "/"
        files = {"core8.bmp": mf.bmp(16, 12, 8, lambda x, y: x % 4, mf.full_palette(8, []), True),
                 "info24.bmp": mf.bmp(16, 12, 24, lambda x, y: (x, y, 0)),
                 "text.bmp": b"BM this is no bitmap at all",
                 "beep.wav": mf.wav(0.1)}
        for name, data in files.items():
            with open(home + name, "wb") as f:
                f.write(data)
        script = os.path.join(folder, "pictures.ini")
        with open(script, "wb") as f:
            f.write(SCRIPT.format(home=home).encode("cp932"))
        out = subprocess.run([tool, "--click", "400,300", script], capture_output=True,
                             timeout=60).stdout.decode("utf-8")
        expected = EXPECTED.format(home=home)
        got = out[:out.index("[var]")] if "[var]" in out else out
        if got != expected:
            print(f"--- expected\n{expected}--- got\n{got}")
            sys.exit(1)
        print("ok")


if __name__ == "__main__":
    main()
