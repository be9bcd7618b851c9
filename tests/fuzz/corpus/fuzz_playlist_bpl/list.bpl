<?xml version="1.0"?>
<playlist>
<entry Playstring="file:one.mp3"/>
<entry Playstring="\\server\share\two.wav"/>
<entry Playstring="http://radio.example/live"/>
</playlist>
