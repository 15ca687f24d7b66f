/* uint32_t abi_call(const void *fn, const uint32_t *args, uint32_t nargs,
                     uint32_t *removed)   -- cdecl
   Pushes nargs 32-bit arguments right to left, calls fn, and stores in
   *removed how many argument bytes the callee took off the stack. */
#ifdef _WIN32
#define SYM(x) _##x
#else
#define SYM(x) x
#endif
    .text
    .globl SYM(abi_call)
SYM(abi_call):
    pushl %ebp
    movl %esp, %ebp
    pushl %ebx
    pushl %esi
    pushl %edi
    movl %esp, %edi          /* restored after the call, whatever happens */
    movl 12(%ebp), %esi      /* args */
    movl 16(%ebp), %ecx      /* nargs */
    /* keep the stack 16-byte aligned at the call */
    movl %ecx, %eax
    shll $2, %eax
    movl %esp, %edx
    subl %eax, %edx
    andl $-16, %edx
    addl %eax, %edx
    movl %edx, %esp
1:  testl %ecx, %ecx
    jz 2f
    decl %ecx
    pushl (%esi,%ecx,4)
    jmp 1b
2:  movl %esp, %ebx          /* stack pointer with the arguments pushed */
    movl 8(%ebp), %eax
    call *%eax
    movl %esp, %ecx
    subl %ebx, %ecx
    movl 20(%ebp), %edx
    movl %ecx, (%edx)
    movl %edi, %esp
    popl %edi
    popl %esi
    popl %ebx
    popl %ebp
    ret
#ifndef _WIN32
    .section .note.GNU-stack,"",@progbits
#endif
