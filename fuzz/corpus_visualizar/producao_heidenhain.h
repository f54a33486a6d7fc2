0 BEGIN PGM heidenhain-aj MM
1 ;Df-Diametro final da rosca: 20.00 [mm]
2 ;Da-Diametro acabamento da rosca: 19.80 [mm]
3 ;Di-diametro inicial da rosca: 17.50 [mm]
4 ;pl-Passo Lateral da rosca: 0.38 [mm]
5 ;pl-Passo Lateral de acabamento da rosca: 0.10 [mm]
6 ;np-Quantidade de Passes Laterais da rosca: 4
7 ;passo lateral: 0 com diametro: 17.500 [mm]
8 ;passo lateral: 1 com diametro: 18.267 [mm]
9 ;passo lateral: 2 com diametro: 19.033 [mm]
10 ;passo lateral: 3 com diametro: 19.800 [mm]
11 ;passo lateral: 4 com diametro: 20.000 [mm]
12 ;L-Comprimento da rosca: 10.00 [mm]
13 ;p-Passo Vertical da rosca (1 fio): 2.50 [mm]
14 ;n-Fios total da rosca: 4.00 fios
15 ;Angulo Inicial de Rosca: 0.0 [graus] -> Direita
16 ;Angulo Final de Rosca: 0.0 [graus]
17 ;Rosca [INTERNA] [Direita >> sentido Horario]
18 ;Df-ferramenta: 14.00 mm
19 ;Precisao de Passo: 0.031 mm
20 ;Tempo de usinagem: 2.0 minutos
21 ;Tempo de corte pelo percurso: 2.9 minutos
22 ;Furos: 2 - 1.4 minutos cada
23 ;Rotacao S: 1000 rpm
24 ;Avanco Feed-Rate (fn): 200.0 [mm / min]
25 ;Avanco por rotacao (Fz): 0.200 [mm / rotacao]
26 ;Percurso em arcos helicoidais (G2/G3)
27 ;Furo 1: X10.000 Y0.000
28 ;Furo 2: X0.000 Y10.000
29 TOOL CALL 1 Z S1000
30 L Z+3 R0 FMAX M3
31 L X+0 Y+0 R0 FMAX
32 CYCL DEF 9.0 DWELL TIME
33 CYCL DEF 9.1 DWELL 3
34 ;diametro final da rosca: mude aqui para ajustar a medida
35 FN 0: Q1600 = +20.000
36 ;1 faz os desbastes, 0 so o acabamento no diametro acima
37 FN 0: Q1601 = +1
38 CYCL DEF 7.0 DATUM SHIFT
39 CYCL DEF 7.1 X+10.000
40 CYCL DEF 7.2 Y+0.000
41 L X+0 Y+0 R0 FMAX
42 CALL LBL 1
43 CYCL DEF 7.0 DATUM SHIFT
44 CYCL DEF 7.1 X+0.000
45 CYCL DEF 7.2 Y+10.000
46 L X+0 Y+0 R0 FMAX
47 CALL LBL 1
48 CYCL DEF 7.0 DATUM SHIFT
49 CYCL DEF 7.1 X+0
50 CYCL DEF 7.2 Y+0
51 ;X MAX = 3.00 --- X MIN = -3.00
52 ;Y MAX = 3.00 --- Y MIN = -3.00
53 ;DIAMETRO USINADO MAXIMO = 20.000 [mm]
54 L Z+5 R0 FMAX M5
55 L Z+5 R0 FMAX M30
56 LBL 1
57 ;um furo, chamado pelo programa acima no centro de cada furo
58 FN 9: IF +Q1601 EQU +0 GOTO LBL 2
59 L X+2.133 Y-0.000 R0 FMAX
60 ;passo lateral: 1 - fio rosca N: 1
61 ;diametro: 18.267 [mm]
62 L Z+0.000 F200
63 CC X+0 Y+0
64 CP IPA-1440.000 IZ-10.000 DR-
65 L X+0 Y+0 R0 FMAX
66 L Z+5 R0 FMAX
67 L X+2.517 Y-0.000 R0 FMAX
68 ;passo lateral: 2 - fio rosca N: 1
69 ;diametro: 19.033 [mm]
70 L Z+0.000 F200
71 CP IPA-1440.000 IZ-10.000 DR-
72 L X+0 Y+0 R0 FMAX
73 L Z+5 R0 FMAX
74 L X+2.900 Y-0.000 R0 FMAX
75 ;passo lateral: 3 - fio rosca N: 1
76 ;diametro: 19.800 [mm]
77 L Z+0.000 F200
78 CP IPA-1440.000 IZ-10.000 DR-
79 L X+0 Y+0 R0 FMAX
80 L Z+5 R0 FMAX
81 LBL 2
82 Q1610 = -7.0000 + 0.500000 * Q1600
83 L X+Q1610 Y-0.000 R0 FMAX
84 ;passo lateral: 4 - fio rosca N: 1
85 ;diametro: 20.000 [mm]
86 L Z+0.000 F200
87 CP IPA-180.000 IZ-1.250 DR-
88 CP IPA-180.000 IZ-1.250 DR-
89 CP IPA-180.000 IZ-1.250 DR-
90 CP IPA-180.000 IZ-1.250 DR-
91 CP IPA-180.000 IZ-1.250 DR-
92 CP IPA-180.000 IZ-1.250 DR-
93 CP IPA-180.000 IZ-1.250 DR-
94 CP IPA-180.000 IZ-1.250 DR-
95 L X+0 Y+0 R0 FMAX
96 L Z+5 R0 FMAX
97 LBL 0
98 END PGM heidenhain-aj MM
