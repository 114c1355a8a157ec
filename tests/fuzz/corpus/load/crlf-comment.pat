% comment
.ach4
he2n
  %x
1ba
a9b
