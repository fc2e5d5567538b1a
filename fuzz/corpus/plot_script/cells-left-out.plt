BeginJob
Plot x=100
SelectPen
Arc cx=1 cy=1 sx=2 sy=2
EndJob
