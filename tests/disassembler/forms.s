| Instruction forms of the 68000, each with the line the disassembler must show for it:
| mnemonic, one blank, operands. Assembled at 0x1000; the program-relative forms come first
| so that their targets are easy to work out by hand.

| Branches and program-counter relative operands
	bra.w	.+0x12			| BRA.W $1012
	bra.s	.			| BRA.S $1004
	bsr.w	.			| BSR.W $1006
	bne.s	.+0x20			| BNE.S $102A
	beq.w	.-0x100			| BEQ.W $F0C
	dbra	%d0,.-2			| DBRA.W D0,$100E
	dbeq	%d7,.+0x10		| DBEQ.W D7,$1024
	jmp	(-2,%pc)		| JMP $1018(PC)
	lea	(0x10,%pc),%a0		| LEA.L $102E(PC),A0
	move.w	(4,%pc,%d0.w),%d1	| MOVE.W $1026(PC,D0.W),D1
	jsr	(-4,%pc,%a1.l)		| JSR $1022(PC,A1.L)
	btst	#1,(2,%pc)		| BTST.B #$1,$102E(PC)
	movem.l	(6,%pc),%d0-%d1		| MOVEM.L $1038(PC),D0-D1
	cmp.l	(0x7ffe,%pc),%d0	| CMP.L $9034(PC),D0
	move.l	(-0x8000,%pc),%d0	| MOVE.L $FFFF903A(PC),D0
	bra.s	.-0x7e			| BRA.S $FBE
	bra.s	.+0x81			| BRA.S $10BF
	move.b	(2,%pc,%a7.w),(0x10,%a0) | MOVE.B $1044(PC,A7.W),$10(A0)
	bgt.s	.+4			| BGT.S $104A
	ble.w	.+4			| BLE.W $104C
	bhi.s	.+4			| BHI.S $1050
	bls.s	.+4			| BLS.S $1052
	bcc.s	.+4			| BCC.S $1054
	bcs.s	.+4			| BCS.S $1056
	bvc.s	.+4			| BVC.S $1058
	bvs.s	.+4			| BVS.S $105A
	bpl.s	.+4			| BPL.S $105C
	bmi.s	.+4			| BMI.S $105E
	bge.s	.+4			| BGE.S $1060
	blt.s	.+4			| BLT.S $1062
	bsr.s	.+4			| BSR.S $1064
	dbt	%d1,.			| DBT.W D1,$1062
	dbhi	%d2,.			| DBHI.W D2,$1066
	dbls	%d3,.			| DBLS.W D3,$106A
	dbcc	%d4,.			| DBCC.W D4,$106E
	dbcs	%d5,.			| DBCS.W D5,$1072
	dbne	%d6,.			| DBNE.W D6,$1076
	dbvc	%d0,.			| DBVC.W D0,$107A
	dbvs	%d0,.			| DBVS.W D0,$107E
	dbpl	%d0,.			| DBPL.W D0,$1082
	dbmi	%d0,.			| DBMI.W D0,$1086
	dbge	%d0,.			| DBGE.W D0,$108A
	dblt	%d0,.			| DBLT.W D0,$108E
	dbgt	%d0,.			| DBGT.W D0,$1092
	dble	%d0,.			| DBLE.W D0,$1096

| No operands
	illegal				| ILLEGAL
	nop				| NOP
	reset				| RESET
	rte				| RTE
	rtr				| RTR
	rts				| RTS
	trapv				| TRAPV

| Status register
	andi.b	#0x12,%ccr		| ANDI.B #$12,CCR
	eori.b	#0xff,%ccr		| EORI.B #$FF,CCR
	ori.b	#1,%ccr			| ORI.B #$1,CCR
	andi.w	#0xf8ff,%sr		| ANDI.W #$F8FF,SR
	eori.w	#0x2000,%sr		| EORI.W #$2000,SR
	ori.w	#0x700,%sr		| ORI.W #$700,SR
	move.w	%sr,%d0			| MOVE.W SR,D0
	move.w	%sr,-(%a7)		| MOVE.W SR,-(A7)
	move.w	%d3,%ccr		| MOVE.W D3,CCR
	move.w	#0x1f,%ccr		| MOVE.W #$1F,CCR
	move.w	#0x2700,%sr		| MOVE.W #$2700,SR
	move.w	(%a0)+,%sr		| MOVE.W (A0)+,SR
	move.l	%usp,%a0		| MOVE.L USP,A0
	move.l	%a3,%usp		| MOVE.L A3,USP
	stop	#0x2700			| STOP #$2700
	trap	#0			| TRAP #0
	trap	#9			| TRAP #9
	trap	#10			| TRAP #10
	trap	#15			| TRAP #15

| Registers
	swap	%d3			| SWAP.W D3
	ext.w	%d0			| EXT.W D0
	ext.l	%d7			| EXT.L D7
	link.w	%a6,#-8			| LINK.W A6,#-$8
	link.w	%a5,#0			| LINK.W A5,#$0
	link.w	%a0,#0x7fff		| LINK.W A0,#$7FFF
	link.w	%a1,#-0x8000		| LINK.W A1,#-$8000
	unlk	%a6			| UNLK A6
	exg	%d1,%d0			| EXG.L D1,D0
	exg	%a1,%a0			| EXG.L A1,A0
	exg	%d1,%a0			| EXG.L D1,A0
	exg	%d7,%a7			| EXG.L D7,A7

| Multiple precision and decimal
	abcd	%d1,%d2			| ABCD.B D1,D2
	abcd	-(%a1),-(%a2)		| ABCD.B -(A1),-(A2)
	sbcd	%d7,%d0			| SBCD.B D7,D0
	sbcd	-(%a7),-(%a0)		| SBCD.B -(A7),-(A0)
	addx.b	%d1,%d2			| ADDX.B D1,D2
	addx.w	-(%a1),-(%a2)		| ADDX.W -(A1),-(A2)
	addx.l	%d3,%d4			| ADDX.L D3,D4
	subx.b	-(%a3),-(%a4)		| SUBX.B -(A3),-(A4)
	subx.w	%d5,%d6			| SUBX.W D5,D6
	subx.l	-(%a5),-(%a6)		| SUBX.L -(A5),-(A6)
	cmpm.b	(%a0)+,(%a1)+		| CMPM.B (A0)+,(A1)+
	cmpm.w	(%a2)+,(%a3)+		| CMPM.W (A2)+,(A3)+
	cmpm.l	(%a7)+,(%a7)+		| CMPM.L (A7)+,(A7)+
	nbcd	%d0			| NBCD.B D0
	nbcd	(%a0)			| NBCD.B (A0)

| Address arithmetic
	adda.w	%d0,%a1			| ADDA.W D0,A1
	adda.l	#0x10000,%a2		| ADDA.L #$10000,A2
	adda.w	#-2,%a2			| ADDA.W #$FFFE,A2
	cmpa.l	%a0,%a1			| CMPA.L A0,A1
	cmpa.w	(%a0)+,%a7		| CMPA.W (A0)+,A7
	suba.w	#-2,%a3			| SUBA.W #$FFFE,A3
	suba.l	-(%a4),%a4		| SUBA.L -(A4),A4
	lea	(8,%a0),%a1		| LEA.L $8(A0),A1
	lea	(-4,%a6,%d2.l),%a2	| LEA.L -$4(A6,D2.L),A2
	lea	(0x1234).w,%a3		| LEA.L $1234.W,A3
	lea	(0xfe0000).l,%a4	| LEA.L $FE0000,A4
	pea	(4,%a7)			| PEA.L $4(A7)
	pea	(%a0)			| PEA.L (A0)
	jmp	(%a0)			| JMP (A0)
	jsr	(0x8000).w		| JSR $FFFF8000.W
	jsr	(0x123456).l		| JSR $123456
	jmp	(0x7f,%a1,%a2.w)	| JMP $7F(A1,A2.W)
	jmp	(-0x80,%a1,%d7.l)	| JMP -$80(A1,D7.L)

| Multiply, divide, check
	muls.w	#-1,%d0			| MULS.W #$FFFF,D0
	mulu.w	(%a0),%d1		| MULU.W (A0),D1
	divs.w	%d2,%d3			| DIVS.W D2,D3
	divu.w	#10,%d4			| DIVU.W #$A,D4
	chk.w	#100,%d2		| CHK.W #$64,D2
	chk.w	(0x10,%a3),%d5		| CHK.W $10(A3),D5

| Compare and test
	.word	0xb03c,0x0080		| CMP.B #$80,D0
	cmp.w	%a0,%d0			| CMP.W A0,D0
	cmp.l	(0x12345678).l,%d7	| CMP.L $12345678,D7
	.word	0xb2bc,0xffff,0xffff	| CMP.L #$FFFFFFFF,D1
	cmpi.b	#0xff,(%a0)		| CMPI.B #$FF,(A0)
	cmpi.w	#0,%d0			| CMPI.W #$0,D0
	cmpi.l	#0x80000000,(0x100).w	| CMPI.L #$80000000,$100.W
	tst.b	%d0			| TST.B D0
	tst.w	(%a0)+			| TST.W (A0)+
	tst.l	-(%a1)			| TST.L -(A1)
	tas	(%a1)+			| TAS.B (A1)+
	tas	%d4			| TAS.B D4

| One operand
	clr.b	%d0			| CLR.B D0
	clr.w	(0x20,%a5)		| CLR.W $20(A5)
	clr.l	-(%a7)			| CLR.L -(A7)
	neg.b	(%a2)			| NEG.B (A2)
	neg.l	%d6			| NEG.L D6
	negx.w	%d1			| NEGX.W D1
	negx.l	(0xffff8000).l		| NEGX.L $FFFF8000
	not.b	(0x1234).w		| NOT.B $1234.W
	not.w	%d7			| NOT.W D7
	not.l	(%a0)			| NOT.L (A0)

| Arithmetic and logic, both directions
	add.b	%d1,(%a0)		| ADD.B D1,(A0)
	.word	0xd27c,0x0010		| ADD.W #$10,D1
	add.w	#0x10,%d1		| ADDI.W #$10,D1
	add.w	(%a0)+,%d1		| ADD.W (A0)+,D1
	add.w	%a0,%d0			| ADD.W A0,D0
	add.l	%d1,(-4,%a6)		| ADD.L D1,-$4(A6)
	.word	0xd4bc,0x1234,0x5678	| ADD.L #$12345678,D2
	.word	0x9e3c,0x00ff		| SUB.B #$FF,D7
	sub.w	%d0,(0x8000).w		| SUB.W D0,$FFFF8000.W
	sub.l	%a3,%d3			| SUB.L A3,D3
	and.b	(%a1),%d2		| AND.B (A1),D2
	and.w	%d2,(%a1)+		| AND.W D2,(A1)+
	.word	0xc6bc,0x00ff,0x00ff	| AND.L #$FF00FF,D3
	or.b	(%a0)+,%d0		| OR.B (A0)+,D0
	or.w	%d4,-(%a4)		| OR.W D4,-(A4)
	.word	0x8abc,0x0000,0x0001	| OR.L #$1,D5
	eor.b	%d1,%d2			| EOR.B D1,D2
	eor.w	%d2,-(%a3)		| EOR.W D2,-(A3)
	eor.l	%d3,(0x123456).l	| EOR.L D3,$123456

| Immediate
	addi.b	#0x12,%d0		| ADDI.B #$12,D0
	addi.w	#0xffff,(%a0)		| ADDI.W #$FFFF,(A0)
	addi.l	#0x12345678,(0x12345678).l | ADDI.L #$12345678,$12345678
	andi.b	#0xff,%d0		| ANDI.B #$FF,D0
	andi.w	#0xff,%d7		| ANDI.W #$FF,D7
	andi.l	#0,(%a6)+		| ANDI.L #$0,(A6)+
	eori.b	#0x80,-(%a2)		| EORI.B #$80,-(A2)
	eori.w	#0x1,%d1		| EORI.W #$1,D1
	eori.l	#0xffffffff,%d2		| EORI.L #$FFFFFFFF,D2
	ori.b	#0,%d0			| ORI.B #$0,D0
	ori.w	#0x8000,(2,%a3)		| ORI.W #$8000,$2(A3)
	ori.l	#0x80000000,(0x100).w	| ORI.L #$80000000,$100.W
	subi.b	#1,(0,%a0,%d0.w)	| SUBI.B #$1,$0(A0,D0.W)
	subi.w	#0x100,%d3		| SUBI.W #$100,D3
	subi.l	#0x10000,%d4		| SUBI.L #$10000,D4

| Quick
	moveq	#1,%d0			| MOVEQ.L #$1,D0
	moveq	#-1,%d0			| MOVEQ.L #-$1,D0
	moveq	#-128,%d0		| MOVEQ.L #-$80,D0
	moveq	#127,%d7		| MOVEQ.L #$7F,D7
	moveq	#0,%d3			| MOVEQ.L #$0,D3
	addq.l	#8,%a7			| ADDQ.L #$8,A7
	addq.w	#1,(%a0)		| ADDQ.W #$1,(A0)
	addq.b	#3,%d2			| ADDQ.B #$3,D2
	subq.b	#1,%d0			| SUBQ.B #$1,D0
	subq.w	#8,%a1			| SUBQ.W #$8,A1
	subq.l	#7,(0x1000).w		| SUBQ.L #$7,$1000.W

| Set on condition
	st	(%a0)			| ST.B (A0)
	sf	%d0			| SF.B D0
	shi	%d1			| SHI.B D1
	sls	%d1			| SLS.B D1
	scc	%d1			| SCC.B D1
	scs	%d1			| SCS.B D1
	sne	(%a1)+			| SNE.B (A1)+
	seq	%d1			| SEQ.B D1
	svc	%d1			| SVC.B D1
	svs	%d1			| SVS.B D1
	spl	%d1			| SPL.B D1
	smi	%d1			| SMI.B D1
	sge	%d1			| SGE.B D1
	slt	%d1			| SLT.B D1
	sgt	-(%a2)			| SGT.B -(A2)
	sle	(0x10,%a3)		| SLE.B $10(A3)

| Bit operations
	btst	#3,%d0			| BTST.L #$3,D0
	btst	#3,(%a0)		| BTST.B #$3,(A0)
	btst	%d1,(%a0)		| BTST.B D1,(A0)
	btst	%d1,%d2			| BTST.L D1,D2
	btst	%d1,#0x12		| BTST.B D1,#$12
	bchg	#31,%d5			| BCHG.L #$1F,D5
	bchg	%d0,-(%a0)		| BCHG.B D0,-(A0)
	bclr	%d2,(8,%a1)		| BCLR.B D2,$8(A1)
	bclr	#0,%d1			| BCLR.L #$0,D1
	bset	#7,(0x1234).w		| BSET.B #$7,$1234.W
	bset	%d7,%d6			| BSET.L D7,D6

| Shifts and rotates
	lsl.b	#1,%d0			| LSL.B #$1,D0
	lsl.w	#8,%d0			| LSL.W #$8,D0
	lsl.w	%d1,%d0			| LSL.W D1,D0
	lsl.w	(%a0)			| LSL.W (A0)
	lsr.l	#4,%d2			| LSR.L #$4,D2
	lsr.w	(0x10,%a1)		| LSR.W $10(A1)
	asl.b	%d3,%d4			| ASL.B D3,D4
	asl.w	(0x1000).w		| ASL.W $1000.W
	asr.l	#2,%d3			| ASR.L #$2,D3
	asr.w	-(%a3)			| ASR.W -(A3)
	rol.w	#7,%d6			| ROL.W #$7,D6
	rol.w	-(%a3)			| ROL.W -(A3)
	ror.b	%d4,%d5			| ROR.B D4,D5
	ror.w	(%a4)+			| ROR.W (A4)+
	roxl.l	#8,%d7			| ROXL.L #$8,D7
	roxl.w	(%a5)			| ROXL.W (A5)
	roxr.w	%d0,%d1			| ROXR.W D0,D1
	roxr.w	(%a2)+			| ROXR.W (A2)+

| Moves
	move.b	(%a0)+,-(%a1)		| MOVE.B (A0)+,-(A1)
	move.b	#0xff,%d1		| MOVE.B #$FF,D1
	move.w	#0x1234,%d0		| MOVE.W #$1234,D0
	move.w	#0xff,%d7		| MOVE.W #$FF,D7
	move.w	%a0,%d0			| MOVE.W A0,D0
	move.b	(0x8000).w,%d0		| MOVE.B $FFFF8000.W,D0
	move.l	#0x12345678,0xff0000	| MOVE.L #$12345678,$FF0000
	move.l	(4,%a0,%a1.l),(0x10,%a2) | MOVE.L $4(A0,A1.L),$10(A2)
	move.l	(0x12345678).l,(0x7fff).w | MOVE.L $12345678,$7FFF.W
	move.w	(-1,%a0,%d0.w),(-1,%a1,%d1.w) | MOVE.W -$1(A0,D0.W),-$1(A1,D1.W)
	movea.w	%a0,%a0			| MOVEA.W A0,A0
	movea.w	#0x8000,%a1		| MOVEA.W #$8000,A1
	movea.l	#0x12345678,%a5		| MOVEA.L #$12345678,A5
	movea.l	(%a7)+,%a6		| MOVEA.L (A7)+,A6
	movem.l	%d0-%d7/%a0-%a6,-(%sp)	| MOVEM.L D0-D7/A0-A6,-(A7)
	movem.l	(%sp)+,%d0-%d7/%a0-%a6	| MOVEM.L (A7)+,D0-D7/A0-A6
	movem.w	%d0/%d2/%a0/%a6,(%a1)	| MOVEM.W D0/D2/A0/A6,(A1)
	movem.w	(0x1234).w,%d3-%d4	| MOVEM.W $1234.W,D3-D4
	movem.l	%d1,-(%a7)		| MOVEM.L D1,-(A7)
	movem.l	%d0-%d1/%a0-%a3,(0x10,%a0) | MOVEM.L D0-D1/A0-A3,$10(A0)
	movem.l	%d0-%d7/%a0-%a7,(0x123456).l | MOVEM.L D0-D7/A0-A7,$123456
	movem.w	(4,%a2,%d1.w),%d7/%a0	| MOVEM.W $4(A2,D1.W),D7/A0
	movep.w	(16,%a0),%d1		| MOVEP.W $10(A0),D1
	movep.l	%d2,(-2,%a1)		| MOVEP.L D2,-$2(A1)
	movep.l	(0,%a7),%d7		| MOVEP.L $0(A7),D7
	movep.w	%d0,(0x7fff,%a3)	| MOVEP.W D0,$7FFF(A3)

| Words that are no instruction: one data word each
	.word	0xffff			| DC.W $FFFF
	.word	0xa000			| DC.W $A000
	.word	0x4e7a			| DC.W $4E7A
	.word	0x1008			| DC.W $1008
	.word	0xd008			| DC.W $D008
	.word	0x0008			| DC.W $0008
	.word	0x4efc			| DC.W $4EFC
	.word	0x4afd			| DC.W $4AFD
	.word	0x5108			| DC.W $5108
	.word	0xf280			| DC.W $F280

| Byte immediates show their low byte only; the machine code keeps the whole word
	.word	0x0200,0x12ff		| ANDI.B #$FF,D0
	.word	0x103c,0xab01		| MOVE.B #$1,D0
	.word	0x0800,0xff03		| BTST.L #$3,D0
