BeginJob bias=0x21 radix=95 sync_count=127 sync=0x7E terminator=0x0A checksum=1 flags=DevicePreamble
TextStyle height_units=300 width_units=2000
Label x=-262143 y=262143 text="edge"
Plot x=262143 y=-262143
EndJob
