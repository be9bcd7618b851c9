[playlist]
song.mp3
other.wav
