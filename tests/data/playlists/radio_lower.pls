[playlist]
numberofentries=2
file1=http://198.51.100.7:8000/stream
title1=(#1 - 12/500) Nordlicht FM
length1=-1
file2=http://198.51.100.8:8010/stream 
title2=(#2 - 3/250) Nordlicht FM
length2=-1
version=2
  


