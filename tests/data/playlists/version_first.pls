[Playlist]
Version=2
NumberOfEntries=2
File1=\\nas\music\a.ogg
File2=file:///C:/Music/My%20Song.ogg
