BeginJob page_width=9 page_height=9 pens=1
Velocity pen=1 speed=40 p5=1 p6=0.5
Velocity pen=1
Font typeface=4148
Font symbol_set_on=1 symbol_set=277
EndJob copies=2
BeginJob page_width=9 page_height=9 pens=1
EndJob copy_switch=1
