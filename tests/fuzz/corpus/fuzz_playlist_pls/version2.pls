[playlist]
File1=song one.mp3
Title1=One
Length1=120
File2=C:\Music\two.ogg
File3=http://radio.example:8000/live
NumberOfEntries=3
Version=2
