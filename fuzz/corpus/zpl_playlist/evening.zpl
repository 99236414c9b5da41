# Evening
/music/Ann/One.mp3
..\..\Two.mp3
./Bob/Three.wma
C:\Music\Four.wav
\\server\share\Five.mp3
\Music\Six.mp3
  	
../../../../../Seven.mp3
