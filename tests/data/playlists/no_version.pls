[playlist]
File1=C:\Music\a.mp3
Title1=A
Length1=200
File2 = Music\b.mp3
Title2=B
NumberOfEntries=2
