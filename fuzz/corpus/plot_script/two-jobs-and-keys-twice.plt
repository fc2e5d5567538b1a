BeginJob page_width=9 page_height=9 pens=1
EndJob
BeginJob page_width=9 page_height=9 pens=1
Plot x=1 p0=2 y=1
Plot x=1 x=2
EndJob
